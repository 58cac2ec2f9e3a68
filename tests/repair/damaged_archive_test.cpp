// Damaged copies of an archive written by another tool repair into archives that 7-Zip, bsdtar and
// Python's zipfile accept, with every entry the damage left intact.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "repair/zip_fix.h"
#include "support/test_support.h"
#include "zip_fixture.h"

namespace vpk {
namespace {

struct Source {
    std::string bytes;
    std::vector<std::string> names;
    std::vector<std::uint64_t> offsets;  // local header offsets
};

// An archive written by Python's zipfile: deflated and stored entries, one in a folder.
Source WriteSource(const test::TempDir& dir) {
    const std::string script =
        "import sys, zipfile, random\n"
        "random.seed(3)\n"
        "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
        "    for i in range(6):\n"
        "        data = bytes(random.choice(b'abcdefgh \\n') for _ in range(2000 + 700 * i))\n"
        "        z.writestr(f'dir{i % 2}/file{i}.txt', data,\n"
        "                   zipfile.ZIP_STORED if i == 4 else zipfile.ZIP_DEFLATED)\n"
        "    for i in z.infolist():\n"
        "        print(i.filename, i.header_offset)\n";
    test::WriteHostFile(dir / "make.py", script);
    std::string output;
    EXPECT_EQ(test::RunShell("python3 '" + (dir / "make.py") + "' '" + (dir / "source.zip") + "'", &output),
              0)
        << output;
    Source source;
    source.bytes = test::ReadHostFile(dir / "source.zip");
    std::istringstream lines(output);
    std::string name;
    std::uint64_t offset = 0;
    while (lines >> name >> offset) {
        source.names.push_back(name);
        source.offsets.push_back(offset);
    }
    return source;
}

TEST(DamagedArchiveTest, RepairsKeepEverySurvivingEntryAndPassOtherReaders) {
    for (const char* tool : {"7zz", "bsdtar", "python3"}) {
        if (!test::ToolAvailable(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    test::TempDir dir;
    const Source source = WriteSource(dir);
    ASSERT_EQ(source.names.size(), 6u);
    const std::uint64_t directoryStart = source.bytes.find(std::string("PK\x01\x02", 4));
    ASSERT_NE(directoryStart, std::string::npos);

    struct Damage {
        const char* what;
        std::string bytes;
        std::vector<std::string> survivors;
    };
    std::vector<std::string> withoutThird = source.names;
    withoutThird.erase(withoutThird.begin() + 2);
    std::string overwritten = source.bytes;
    std::fill_n(overwritten.begin() + static_cast<std::ptrdiff_t>(source.offsets[2]), 40, '\xAA');
    std::string zeroedEnd = source.bytes;
    std::fill(zeroedEnd.end() - 22, zeroedEnd.end(), '\0');
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 131 + 7) % 251);
    const std::vector<Damage> damages = {
        {"directory cut", source.bytes.substr(0, directoryStart + 60), source.names},
        {"end record zeroed", zeroedEnd, source.names},
        {"middle entry overwritten", overwritten, withoutThird},
        {"garbage in front", garbage + source.bytes, source.names},
        {"cut inside the last entry", source.bytes.substr(0, source.offsets[5] + 100),
         std::vector<std::string>(source.names.begin(), source.names.end() - 1)},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        const std::string path = dir / "repaired.zip";
        test::WriteHostFile(path, test::RepairBytes(damage.bytes));
        test::ExpectReadersAccept(path, damage.survivors);
    }
}

}  // namespace
}  // namespace vpk
