// Drives and media: the drive table, types, simulated removable disks, labels, space, locks, eject.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file_system.h"
#include "platform/program_paths.h"
#include "support/test_support.h"

namespace vpk {
namespace {

using test::WriteHostFile;

TEST(DriveTableLoad, SkipsBadSectionsAndSaysWhy) {
    test::TempDir dir;
    WriteHostFile(dir / "drives.ini",
                  "[c]\npath=/home/ann/\n"
                  "[A]\npath=/srv/floppy\ntype=Removable\ncapacity=1457664\n"
                  "[B]\ntype=removable\n"          // no folder
                  "[D]\npath=relative/folder\n"    // not absolute
                  "[AA]\npath=/x\n"                // not one letter
                  "[1]\npath=/x\n"                 // not a letter
                  "[E]\npath=/e\ntype=floppy\n"    // unknown type
                  "[F]\npath=/f\ncapacity=lots\n"  // bad capacity
                  "[N]\npath=/net\ntype=network\n"
                  "[R]\npath=/cd\ntype=cdrom\n");
    std::vector<std::string> problems;
    const DriveTable table = DriveTable::Load(dir / "drives.ini", &problems);
    EXPECT_EQ(problems.size(), 6u);
    for (const std::string section : {"[B]", "[D]", "[AA]", "[1]", "[E]", "[F]"}) {
        bool named = false;
        for (const auto& p : problems) named = named || p.rfind(section, 0) == 0;
        EXPECT_TRUE(named) << section;
    }
    std::string letters;
    for (const auto& m : table.Mappings()) letters += m.letter;
    EXPECT_EQ(letters, "ACNRZ");  // Z: = / is added when the table leaves it out
    EXPECT_EQ(table.Find('c')->hostRoot, "/home/ann");
    EXPECT_EQ(table.Find('A')->type, DriveType::Removable);
    EXPECT_EQ(table.Find('A')->capacity.value_or(0), 1457664u);
    EXPECT_EQ(table.Find('N')->type, DriveType::Remote);
    EXPECT_EQ(table.Find('R')->type, DriveType::CdRom);
    EXPECT_EQ(table.Find('Z')->hostRoot, "/");
    EXPECT_EQ(table.FindByHostPath("/home/ann/x")->letter, 'C');
    EXPECT_EQ(table.FindByHostPath("/home/anna")->letter, 'Z');  // a root matches whole components only
    EXPECT_EQ(table.Find('%'), nullptr);

    // No file: C: = home, Z: = /. A folder where the file should be: the default, and a problem.
    const DriveTable none = DriveTable::Load(dir / "missing.ini");
    ASSERT_NE(none.Find('C'), nullptr);
    EXPECT_NE(none.Find('Z'), nullptr);
    std::filesystem::create_directory(dir / "folder.ini");
    problems.clear();
    EXPECT_NE(DriveTable::Load(dir / "folder.ini", &problems).Find('C'), nullptr);
    EXPECT_EQ(problems.size(), 1u);
}

TEST(ProgramPaths, ProgramFolderAndItsDriveTable) {
    test::TestInstallation install;
    EXPECT_EQ(ProgramFolderHost(), install.ProgramHost());
    SetProgramFolderHost({});
    EXPECT_EQ(ProgramFolderHost(), std::filesystem::canonical("/proc/self/exe").parent_path().string());
    SetProgramFolderHost(install.ProgramHost());
    WriteHostFile(install.ProgramHost() + "/drives.ini", "[P]\npath=" + install.ProgramHost() + "\n[Q]\n");
    const auto problems = LoadProgramDriveTable();
    EXPECT_EQ(problems.size(), 1u);
    EXPECT_EQ(ProgramFolderVirtual(), "P:\\");
}

class Media : public ::testing::Test {
  protected:
    test::TestInstallation install;
    FileSystem& fs = Fs();

    bool XattrsWork() {
        const std::string probe = install.DriveHost('C');
        const bool ok = ::setxattr(probe.c_str(), "user.vpk.probe", "1", 1, 0) == 0;
        ::removexattr(probe.c_str(), "user.vpk.probe");
        return ok;
    }
};

TEST_F(Media, DriveTypesAndDisksPresent) {
    install.AddDrive('A', "removable", 1457664, false);
    install.AddDrive('N', "network");
    install.AddDrive('R', "cdrom");
    EXPECT_EQ(fs.TypeOfDrive('a'), DriveType::Removable);
    EXPECT_EQ(fs.TypeOfDrive('C'), DriveType::Fixed);
    EXPECT_EQ(fs.TypeOfDrive('N'), DriveType::Remote);
    EXPECT_EQ(fs.TypeOfDrive('R'), DriveType::CdRom);
    EXPECT_EQ(fs.TypeOfDrive('Q'), DriveType::NoRootDir);
    EXPECT_EQ(fs.TypeOfDrive('!'), DriveType::NoRootDir);
    EXPECT_EQ(fs.LogicalDrives(), (1u << 0) | (1u << 2) | (1u << 13) | (1u << 17) | (1u << 25));
    EXPECT_FALSE(fs.DiskPresent('A'));
    EXPECT_EQ(fs.FreeBytes("A:\\"), -1);
    EXPECT_FALSE(fs.VolumeLabel('A').has_value());
    std::filesystem::create_directory(install.DriveHost('A'));
    EXPECT_TRUE(fs.DiskPresent('a'));
    EXPECT_FALSE(fs.DiskPresent('Q'));
}

TEST_F(Media, FreeSpaceIsBoundedByCapacity) {
    install.AddDrive('A', "removable", 100000);
    EXPECT_EQ(fs.FreeBytes("A:\\"), 100000);
    EXPECT_EQ(fs.TotalBytes("A:\\"), 100000);
    test::TestTree(install.DriveHost('A'),
                   {{"one.bin", std::string(30000, 'x')}, {"sub/two.bin", std::string(50000, 'y')}});
    EXPECT_EQ(fs.FreeBytes("A:\\"), 20000);
    EXPECT_EQ(fs.FreeBytes("A:\\sub\\not\\yet\\made.zip"), 20000);
    test::TestTree(install.DriveHost('A'), {{"three.bin", std::string(40000, 'z')}});
    EXPECT_EQ(fs.FreeBytes("A:\\"), 0) << "an overfull simulated disk has nothing left, never less";
    const std::int64_t free = fs.FreeBytes("C:\\");
    EXPECT_GT(free, 0);
    EXPECT_GE(fs.TotalBytes("C:\\"), free);
    EXPECT_EQ(fs.FreeBytes("Q:\\"), -1);
    EXPECT_EQ(fs.TotalBytes("Q:\\"), -1);
}

TEST_F(Media, LabelSurvivesDeletionOfEveryFile) {
    if (!XattrsWork()) GTEST_SKIP() << "no user extended attributes on this file system";
    install.AddDrive('A', "removable", 1457664);
    EXPECT_EQ(fs.VolumeLabel('A').value_or("?"), "");
    ASSERT_TRUE(fs.SetVolumeLabel('a', "PKBACK# 001"));
    test::TestTree(install.DriveHost('A'), {{"x.zip", "x"}, {"d/y", "y"}});
    for (const auto& entry : std::filesystem::directory_iterator(install.DriveHost('A'))) {
        std::filesystem::remove_all(entry.path());
    }
    EXPECT_EQ(fs.VolumeLabel('A').value_or("?"), "PKBACK# 001");
    EXPECT_TRUE(fs.SetVolumeLabel('A', ""));
    EXPECT_EQ(fs.VolumeLabel('A').value_or("?"), "");
    EXPECT_FALSE(fs.SetVolumeLabel('Q', "x"));
}

TEST_F(Media, FileHeldByAnotherProcessIsInUse) {
    const std::string host = install.DriveHost('C') + "/locked.txt";
    WriteHostFile(host, "data");
    EXPECT_FALSE(fs.IsFileInUse("C:\\locked.txt"));
    for (const bool useFlock : {true, false}) {
        SCOPED_TRACE(useFlock ? "flock" : "fcntl");
        int ready[2];
        int release[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(release), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int fd = ::open(host.c_str(), O_RDWR);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            const bool locked = useFlock ? ::flock(fd, LOCK_EX) == 0 : ::fcntl(fd, F_SETLK, &lock) == 0;
            char c = locked ? '1' : '0';
            (void)!::write(ready[1], &c, 1);
            (void)!::read(release[0], &c, 1);
            ::_exit(0);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ASSERT_EQ(c, '1');
        EXPECT_TRUE(fs.IsFileInUse("C:\\LOCKED.TXT"));
        (void)!::write(release[1], "x", 1);
        ::waitpid(child, nullptr, 0);
        EXPECT_FALSE(fs.IsFileInUse("C:\\locked.txt"));
        for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
    }
    EXPECT_FALSE(fs.IsFileInUse("C:\\missing.txt"));
}

TEST_F(Media, EjectTakesASimulatedDiskOut) {
    install.AddDrive('A', "removable", 1457664);
    test::TestTree(install.DriveHost('A'), {{"backup.zip", "z"}});
    EXPECT_FALSE(fs.Eject('C')) << "a fixed drive cannot be ejected";
    EXPECT_FALSE(fs.Eject('Q'));
    ASSERT_TRUE(fs.Eject('A'));
    EXPECT_FALSE(fs.DiskPresent('A'));
    EXPECT_TRUE(test::HostExists(install.DriveHost('A') + ".ejected/backup.zip"))
        << "nothing on the disk is lost";
    EXPECT_FALSE(fs.Eject('A')) << "no disk left to eject";
}

}  // namespace
}  // namespace vpk
