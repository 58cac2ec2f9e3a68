#include "model/disk_routines.h"

#include "model_fixture.h"
#include "platform/event_pump.h"

namespace vpk {
namespace {

using test::HostExists;
using test::ModelTest;
using test::TestTree;
using test::WriteHostFile;

TEST(SizeTextTest, Boundaries) {
    struct Case {
        std::int64_t n;
        char separator;
        const char* text;
    } cases[] = {
        {-1, '.', ""},
        {0, '.', "0 b"},
        {1023, '.', "1023 b"},
        {1024, '.', "1 Ko"},
        {1536, '.', "1.5 Ko"},
        {1536, ',', "1,5 Ko"},
        {12800, '.', "12.5 Ko"},
        {1048575, '.', "1020 Ko"},  // three significant digits, never a scientific form
        {1048576, '.', "1 Mo"},
        {5 * 1048576 + 262144, ',', "5,25 Mo"},
        {1073741823, '.', "1020 Mo"},
        {1073741824, '.', ""},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.n, c.separator), c.text) << c.n;
}

class DiskRoutinesTest : public ModelTest {};

TEST_F(DiskRoutinesTest, FileSizeTextBoundaries) {
    TestTree(OnC("sizes"), {{"a2047.bin", std::string(2047, 'x')},
                            {"b2048.bin", std::string(2048, 'x')},
                            {"c5000.bin", std::string(5000, 'x')}});
    EXPECT_EQ(FileSizeText("C:\\sizes\\a2047.bin"), "2047 Octets");
    EXPECT_EQ(FileSizeText("C:\\sizes\\B2048.BIN"), "2 Ko");
    EXPECT_EQ(FileSizeText("C:\\sizes\\c*.bin"), "4 Ko");
    EXPECT_EQ(FileSizeText("C:\\sizes\\missing.bin"), " ? ");
    EXPECT_EQ(FileSizeOf("C:\\sizes\\b2048.bin"), 2048u);
    EXPECT_EQ(FileSizeOf("C:\\nowhere\\x"), 0u);
}

TEST_F(DiskRoutinesTest, FolderSizeFollowsTheMaskIntoSubFolders) {
    TestTree(OnC("tree"), {{"a.txt", "12345"},
                           {"b.dat", "123"},
                           {"sub/c.txt", "1234567"},
                           {"sub/deeper/d.txt", "12"},
                           {".hidden.txt", "1"}});
    Fs().SetCurrentFolder("C:\\");
    EXPECT_EQ(FolderSize("C:\\tree", "*.*"), 5u + 3 + 7 + 2 + 1);
    // "*.txt" lists no sub-folder, so only the top level counts.
    EXPECT_EQ(FolderSize("C:\\tree\\", "*.txt"), 5u + 1);
    EXPECT_EQ(FolderSize("C:\\missing", "*.*"), 0u);
    EXPECT_EQ(Fs().CurrentFolder(), "C:\\");
}

TEST_F(DiskRoutinesTest, IsFolderEmptyRaisesForAMissingFolder) {
    TestTree(OnC("full"), {{"x", "1"}});
    TestTree(OnC("empty"), {});
    EXPECT_FALSE(IsFolderEmpty("C:\\full"));
    EXPECT_TRUE(IsFolderEmpty("C:\\empty\\"));
    try {
        IsFolderEmpty("C:\\absent");
        FAIL() << "no error for a missing folder";
    } catch (const EFolderNotFound& e) {
        EXPECT_STREQ(e.what(), "Le répertoire \"C:\\absent\" n'existe pas");
    }
}

TEST_F(DiskRoutinesTest, DeleteFilesInKeepsSubFoldersAndOtherFiles) {
    TestTree(OnC("Sas_Zip"),
             {{"ZipTmp01.tmp", "a"}, {"ziptmp02.tmp", "b"}, {"keep.zip", "c"}, {"sub/x", "d"}});
    int pumped = 0;
    struct CountingPump : EventPump {
        int* count;
        explicit CountingPump(int* c) : count(c) {}
        void ProcessPending() override { ++*count; }
    } pump(&pumped);
    EventPump::Install(&pump);
    DeleteFilesIn("C:\\Sas_Zip", "ZipTmp*.*");
    EventPump::Install(nullptr);
    EXPECT_FALSE(HostExists(OnC("Sas_Zip/ZipTmp01.tmp")));
    EXPECT_FALSE(HostExists(OnC("Sas_Zip/ziptmp02.tmp")));
    EXPECT_TRUE(HostExists(OnC("Sas_Zip/keep.zip")));
    EXPECT_TRUE(HostExists(OnC("Sas_Zip/sub/x")));
    EXPECT_GE(pumped, 1);
    // The folder still holds files, so it stays; the current folder is its parent.
    EXPECT_TRUE(HostExists(OnC("Sas_Zip")));
    EXPECT_EQ(Fs().CurrentFolder(), "C:\\");

    // Hidden files go too, so the emptied folder can be removed.
    TestTree(OnC("work/stage"), {{"a.tmp", "1"}, {".hidden", "2"}});
    DeleteFilesIn("C:\\work\\stage\\", "*.*");
    EXPECT_FALSE(HostExists(OnC("work/stage")));
    EXPECT_EQ(Fs().CurrentFolder(), "C:\\work");

    // Emptying a whole disk keeps the disk in its drive.
    install_.AddDrive('A', "removable", 1457664);
    TestTree(install_.DriveHost('A'), {{"old.zip", "z"}});
    DeleteFilesIn("A:\\", "*.*");
    EXPECT_FALSE(HostExists(install_.DriveHost('A') + "/old.zip"));
    EXPECT_TRUE(Fs().DiskPresent('A'));
}

TEST_F(DiskRoutinesTest, CopyFilesToCreatesTheTarget) {
    TestTree(OnC("src"), {{"a.txt", "alpha"}, {"sub/b.txt", "beta"}});
    ASSERT_TRUE(CopyFilesTo("C:\\src", "C:\\backup\\copy"));
    EXPECT_EQ(test::ReadHostFile(OnC("backup/copy/a.txt")), "alpha");
    EXPECT_EQ(test::ReadHostFile(OnC("backup/copy/sub/b.txt")), "beta");
}

TEST_F(DiskRoutinesTest, DriveStateAndLabel) {
    install_.AddDrive('A', "removable", 1457664);
    install_.AddDrive('B', "removable", 1457664, false);  // no disk in it
    TestTree(OnC(""), {{"f.txt", "x"}});
    EXPECT_EQ(DriveState('C'), 3);
    EXPECT_EQ(DriveState('A'), 2);
    EXPECT_EQ(DriveState('B'), 0);
    EXPECT_EQ(DriveState('Q'), 0);
    ASSERT_TRUE(Fs().SetVolumeLabel('A', "PKBACK# 001"));
    EXPECT_EQ(VolumeLabel("A:\\"), "PKBACK# 001");
    EXPECT_EQ(VolumeLabel("B:\\"), " ");
    EXPECT_EQ(VolumeLabel(""), " ");
}

}  // namespace
}  // namespace vpk
