// ZIP64: more than 65535 entries, and (slow) an entry of more than 4 GiB.
#include <fcntl.h>
#include <unistd.h>

#include "enginelib_fixture.h"

namespace vpk::test {
namespace {

class Zip64Test : public EngineLibTest {};

TEST_F(Zip64Test, MoreThan65535EntriesAreWrittenReadAndUpdated) {
    constexpr int kFiles = 65600;
    ASSERT_EQ(RunShell("cd " + Quote(install.DriveHost('C')) +
                       " && mkdir -p many && cd many && python3 -c \"[open('f%05d' % i, 'w').write(str(i)) for i in "
                       "range(" + std::to_string(kFiles) + ")]\""),
              0);
    ZipRequest add;
    add.archive = "C:\\many.zip";
    add.specs = {"C:\\many\\*.*"};
    add.level = 1;
    ASSERT_EQ(lib.Zip(add), kFiles);
    {
        zip::ZipArchiveReader reader("C:\\many.zip");
        EXPECT_EQ(reader.Entries().size(), static_cast<std::size_t>(kFiles));
    }
    std::string out;
    EXPECT_EQ(RunShell("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); assert len(z.namelist())==" +
                           std::to_string(kFiles) + "; assert z.read('many/f65599')==b'65599'\" " + Quote(C("many.zip")),
                       &out),
              0)
        << out;
    // An update of one file copies every other entry raw and keeps the ZIP64 records.
    WriteHostFile(C("many/extra.txt"), "one more");
    add.specs = {"C:\\many\\extra.txt"};
    ASSERT_EQ(lib.Zip(add), 1);
    UnzipRequest test;
    test.archive = "C:\\many.zip";
    test.test = true;
    EXPECT_EQ(lib.Unzip(test), kFiles + 1);
    if (ToolAvailable("7zz")) EXPECT_EQ(RunShell("7zz t " + Quote(C("many.zip")) + " > /dev/null"), 0);
}

TEST_F(Zip64Test, SLOW_AnEntryOfMoreThan4GiBRoundTrips) {
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
    EXPECT_EQ(static_cast<std::uint64_t>(lib.Events(kActionSizeTotal)[0].number), size) << "exact 64-bit total";
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
