// Repairs whose output outgrows the 16-bit entry count or the 32-bit sizes and offsets of the plain
// records: the output must be a ZIP64 archive the other readers take, not a truncated directory.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/zip_format.h"
#include "repair/zip_fix.h"
#include "support/test_support.h"
#include "zip_fixture.h"

namespace vpk {
namespace {

bool ToolsPresent() {
    for (const char* tool : {"7zz", "bsdtar", "python3"}) {
        if (!test::ToolAvailable(tool)) return false;
    }
    return true;
}

TEST(LargeArchiveTest, MoreEntriesThanA16BitCountHoldGetAZip64EndRecord) {
    if (!ToolsPresent()) GTEST_SKIP() << "7zz, bsdtar or python3 missing";
    constexpr int kEntries = 65536 + 20;
    test::ZipBuilder zip;
    std::vector<std::string> names;
    for (int i = 0; i < kEntries; ++i) {
        names.push_back("f" + std::to_string(i));
        zip.Add({.name = names.back(), .data = std::to_string(i % 10)});
    }
    test::TempDir dir;
    const std::string path = dir / "many.zip";
    test::WriteHostFile(path, test::RepairBytes(zip.Local()));
    test::ExpectReadersAccept(path, names);
}

// Writes runs of zero bytes as holes, so an archive of several GiB costs no disk space.
class SparseFileSink : public RepairSink {
  public:
    explicit SparseFileSink(const std::string& path)
        : fd_(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) {}
    ~SparseFileSink() override {
        if (fd_ >= 0) close(fd_);
    }
    void Write(const void* data, std::size_t size) override {
        static const std::string zeros(4 << 20, '\0');
        if (size <= zeros.size() && std::memcmp(data, zeros.data(), size) == 0) {
            position_ += size;
            return;
        }
        ASSERT_EQ(pwrite(fd_, data, size, static_cast<off_t>(position_)), static_cast<ssize_t>(size));
        position_ += size;
    }
    void Flush() override { ASSERT_EQ(ftruncate(fd_, static_cast<off_t>(position_)), 0); }

  private:
    int fd_;
    std::uint64_t position_ = 0;
};

std::string LocalHeader(const std::string& name, std::uint64_t size, std::uint32_t crc, bool zip64) {
    std::string header(zip::kLocalHeaderSize, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(header.data());
    zip::LocalHeader fields;
    fields.versionNeeded = zip64 ? zip::kVersionZip64 : zip::kVersionStored;
    fields.method = zip::kMethodStored;
    fields.crc32 = crc;
    fields.compressedSize = zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(size);
    fields.uncompressedSize = fields.compressedSize;
    fields.nameLength = static_cast<std::uint16_t>(name.size());
    std::string extra;
    if (zip64) zip::AppendZip64Extra(extra, true, size, true, size, false, 0);
    fields.extraLength = static_cast<std::uint16_t>(extra.size());
    fields.Write(p);
    return header + name + extra;
}

TEST(LargeArchiveTest, EntriesBeyond4GiBGiveAZip64Archive) {
    if (!ToolsPresent()) GTEST_SKIP() << "7zz, bsdtar or python3 missing";
    test::TempDir dir;
    const std::uint64_t hugeSize = (4ull << 30) + (1 << 20);
    const std::string zeros(1 << 20, '\0');
    std::uint32_t crc = 0;
    for (std::uint64_t done = 0; done < hugeSize; done += zeros.size()) {
        crc = static_cast<std::uint32_t>(
            crc32_combine(crc, test::Crc32(zeros), static_cast<z_off_t>(zeros.size())));
    }
    const std::string huge = LocalHeader("huge.bin", hugeSize, crc, true);
    const std::string tail = LocalHeader("tail.txt", 9, test::Crc32("tail data"), false) + "tail data";

    // The input: the big entry's data is a hole of the file.
    const std::string inputPath = dir / "damaged.zip";
    const int in = open(inputPath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(in, 0);
    ASSERT_EQ(pwrite(in, huge.data(), huge.size(), 0), static_cast<ssize_t>(huge.size()));
    ASSERT_EQ(pwrite(in, tail.data(), tail.size(), static_cast<off_t>(huge.size() + hugeSize)),
              static_cast<ssize_t>(tail.size()));
    const std::uint64_t inputSize = huge.size() + hugeSize + tail.size();
    void* mapped = mmap(nullptr, inputSize, PROT_READ, MAP_PRIVATE, in, 0);
    close(in);
    ASSERT_NE(mapped, MAP_FAILED);

    const std::string outputPath = dir / "repaired.zip";
    {
        SparseFileSink sink(outputPath);
        TZipFix fix;
        fix.SetInput(static_cast<const std::uint8_t*>(mapped), inputSize);
        fix.SetOutput(&sink);
        fix.RepairArchive();
        ASSERT_EQ(fix.Entries().size(), 2u);
        EXPECT_EQ(fix.Entries()[1].localHeaderOffset, huge.size() + hugeSize);
    }
    munmap(mapped, inputSize);

    // Listing reads the directory only; the small entry lies beyond 4 GiB and is read in full.
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "print([(i.filename, i.file_size, i.header_offset) for i in z.infolist()])\n"
        "print(z.read('tail.txt').decode())\n";
    test::WriteHostFile(dir / "check.py", script);
    std::string output;
    ASSERT_EQ(test::RunShell("python3 '" + (dir / "check.py") + "' '" + outputPath + "'", &output), 0)
        << output;
    EXPECT_EQ(output, "[('huge.bin', " + std::to_string(hugeSize) + ", 0), ('tail.txt', 9, " +
                          std::to_string(huge.size() + hugeSize) + ")]\ntail data\n");
    ASSERT_EQ(test::RunShell("7zz l '" + outputPath + "'", &output), 0) << output;
    EXPECT_EQ(output.find("Warnings"), std::string::npos) << output;
    EXPECT_NE(output.find(std::to_string(hugeSize)), std::string::npos) << output;
    ASSERT_EQ(test::RunShell("bsdtar -xOf '" + outputPath + "' tail.txt", &output), 0) << output;
    EXPECT_EQ(output, "tail data");
}

}  // namespace
}  // namespace vpk
