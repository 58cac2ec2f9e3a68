// ZIP64 by entry count: more than 65535 entries.
#include "enginelib_fixture.h"

namespace vpk::test {
namespace {

class Zip64Test : public EngineLibTest {};

TEST_F(Zip64Test, MoreThan65535EntriesAreWrittenReadAndUpdated) {
    constexpr int kFiles = 65600;
    ASSERT_EQ(
        RunShell(
            "cd " + Quote(install.DriveHost('C')) +
            " && mkdir -p many && cd many && python3 -c \"[open('f%05d' % i, 'w').write(str(i)) for i in "
            "range(" +
            std::to_string(kFiles) + ")]\""),
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
    EXPECT_EQ(
        RunShell(
            "python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); assert len(z.namelist())==" +
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
    if (ToolAvailable("7zz")) {
        EXPECT_EQ(RunShell("7zz t " + Quote(C("many.zip")) + " > /dev/null"), 0);
    }
}

}  // namespace
}  // namespace vpk::test
