// ZIP64 by size: an entry of more than 4 GiB (a sparse file). Slow: a separate binary labelled "slow".
#include <fcntl.h>
#include <unistd.h>

#include "enginelib_fixture.h"

namespace vpk::test {
namespace {

class Zip64SizeTest : public EngineLibTest {};

TEST_F(Zip64SizeTest, AnEntryOfMoreThan4GiBRoundTrips) {
    // A sparse file: nothing is stored on disk but its size; deflate turns it into a few MB.
    const std::uint64_t size = (4ull << 30) + 12345;
    Fs().CreateFolder("C:\\big");
    const int fd = ::open(C("big/sparse.bin").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size - 1)), 0);
    ASSERT_EQ(::pwrite(fd, "Z", 1, static_cast<off_t>(size - 1)), 1);
    ::close(fd);
    ZipRequest add;
    add.archive = "C:\\big.zip";
    add.specs = {"C:\\big\\sparse.bin"};
    add.level = 1;
    ASSERT_EQ(lib.Zip(add), 1);
    ASSERT_EQ(lib.Events(kActionSizeTotal).size(), 1u);
    EXPECT_EQ(static_cast<std::uint64_t>(lib.Events(kActionSizeTotal)[0].number), size)
        << "exact 64-bit total";
    {
        zip::ZipArchiveReader reader("C:\\big.zip");
        ASSERT_EQ(reader.Entries().size(), 1u);
        EXPECT_EQ(reader.Entries()[0].values.uncompressedSize, size);
    }
    UnzipRequest test;
    test.archive = "C:\\big.zip";
    test.test = true;
    EXPECT_EQ(lib.Unzip(test), 1);
    if (ToolAvailable("7zz")) {
        std::string out;
        EXPECT_EQ(RunShell("7zz t " + Quote(C("big.zip")), &out), 0) << out;
    }
}

}  // namespace
}  // namespace vpk::test
