#include "platform/registry_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace vpk {
namespace {

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// HOME and the XDG folders point into the installation, so no test touches the real home folder.
class Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* old = std::getenv(v);
            saved_.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
        }
        ::setenv("HOME", install.DriveHost('C').c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_DATA_HOME");
        store.SetAutostartFolder(install.Root() + "/autostart");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    test::TestInstallation install;
    RegistryStore store{install.ProgramHost() + "/registry.ini"};
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(Registry, KeysAndValuesUnderEachHive) {
    EXPECT_FALSE(store.KeyExists(Hive::CurrentUser, "Software\\Vortipak"));
    EXPECT_TRUE(store.CreateKey(Hive::CurrentUser, "Software\\Vortipak\\History"));
    EXPECT_TRUE(store.KeyExists(Hive::CurrentUser, "software\\VORTIPAK"));  // a parent of a created key
    EXPECT_FALSE(store.KeyExists(Hive::LocalMachine, "Software\\Vortipak"));
    EXPECT_TRUE(store.WriteString(Hive::ClassesRoot, ".vpk", "", "VortipakQuery"));
    EXPECT_TRUE(store.WriteString(Hive::ClassesRoot, "\\VortipakQuery\\shell\\open\\command\\", "",
                                  "vortipak \"%1\""));
    EXPECT_TRUE(store.WriteString(Hive::CurrentUser, "Software\\Vortipak", "Lang", "French"));
    EXPECT_EQ(store.ReadString(Hive::ClassesRoot, ".VPK", ""), "VortipakQuery");
    EXPECT_EQ(store.ReadString(Hive::ClassesRoot, "VortipakQuery\\Shell\\Open\\Command", ""),
              "vortipak \"%1\"");
    EXPECT_EQ(store.ReadString(Hive::CurrentUser, "SOFTWARE\\vortipak", "lang"), "French");
    EXPECT_EQ(store.ReadString(Hive::CurrentUser, "Software\\Vortipak", "none", "dflt"), "dflt");
    EXPECT_TRUE(store.ValueExists(Hive::CurrentUser, "Software\\Vortipak", "LANG"));
    EXPECT_EQ(store.ValueNames(Hive::CurrentUser, "Software\\Vortipak"), std::vector<std::string>{"Lang"});
    EXPECT_EQ(store.SubKeys(Hive::CurrentUser, "Software\\Vortipak"), std::vector<std::string>{"History"});
    EXPECT_EQ(store.SubKeys(Hive::ClassesRoot, "VortipakQuery"), std::vector<std::string>{"shell"});
    EXPECT_FALSE(store.WriteString(Hive::CurrentUser, "Software\\Vortipak", "a=b", "x"));
    EXPECT_FALSE(store.WriteString(Hive::CurrentUser, "Software\\Vortipak", "x", "line\nbreak"));
    EXPECT_FALSE(store.WriteString(Hive::CurrentUser, "Soft]ware", "x", "y"));

    EXPECT_TRUE(store.DeleteValue(Hive::CurrentUser, "Software\\Vortipak", "lang"));
    EXPECT_FALSE(store.DeleteValue(Hive::CurrentUser, "Software\\Vortipak", "lang"));
    EXPECT_TRUE(store.DeleteKey(Hive::ClassesRoot, "VortipakQuery"));
    EXPECT_FALSE(store.KeyExists(Hive::ClassesRoot, "VortipakQuery\\shell\\open\\command"));
    EXPECT_TRUE(store.KeyExists(Hive::ClassesRoot, ".vpk"));
    EXPECT_FALSE(store.DeleteKey(Hive::ClassesRoot, "VortipakQuery"));
}

TEST_F(Registry, FailuresReportNothingAndChangeNothing) {
    ASSERT_TRUE(store.WriteString(Hive::CurrentUser, "Software\\Vortipak", "Lang", "French"));
    const std::string before = test::ReadHostFile(store.File());
    ::chmod(store.File().c_str(), 0444);
    EXPECT_FALSE(store.WriteString(Hive::CurrentUser, "Software\\Vortipak", "Lang", "English"));
    EXPECT_FALSE(store.DeleteKey(Hive::CurrentUser, "Software\\Vortipak"));
    EXPECT_EQ(test::ReadHostFile(store.File()), before);
    EXPECT_EQ(store.ReadString(Hive::CurrentUser, "Software\\Vortipak", "Lang"), "French");
    RegistryStore nowhere("Q:\\registry.ini");
    EXPECT_FALSE(nowhere.WriteString(Hive::CurrentUser, "x", "y", "z"));
    EXPECT_EQ(nowhere.ReadString(Hive::CurrentUser, "x", "y", "d"), "d");
}

TEST_F(Registry, RunKeyIsMirroredIntoAutostart) {
    test::WriteHostFile(install.ProgramHost() + "/vpk_run", "#!/bin/sh\n");
    ::chmod((install.ProgramHost() + "/vpk_run").c_str(), 0755);
    const std::string desktop = install.Root() + "/autostart/Vpk_Run.desktop";
    ASSERT_TRUE(store.WriteString(Hive::LocalMachine, kRun, "Vpk_Run", "Vpk_Run.exe \"C:\\My Queries\" 7"));
    const std::string entry = test::ReadHostFile(desktop);
    EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\nName=Vpk_Run\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("Exec=" + install.ProgramHost() + "/vpk_run \"" + install.DriveHost('C') +
                         "/My Queries\" 7\n"),
              std::string::npos)
        << entry;
    // A desktop file of the user's with the name of a value is left alone.
    test::WriteHostFile(install.Root() + "/autostart/Other.desktop", "[Desktop Entry]\nExec=other\n");
    ASSERT_TRUE(store.WriteString(Hive::CurrentUser, kRun, "Other", "x"));  // not the machine's Run key
    EXPECT_EQ(test::ReadHostFile(install.Root() + "/autostart/Other.desktop"),
              "[Desktop Entry]\nExec=other\n");
    EXPECT_TRUE(store.DeleteValue(Hive::LocalMachine, kRun, "Vpk_Run"));
    EXPECT_FALSE(test::HostExists(desktop));
    EXPECT_TRUE(test::HostExists(install.Root() + "/autostart/Other.desktop"));
}

TEST_F(Registry, ShellFoldersDefaultToTheXdgFolders) {
    const std::string home = install.DriveHost('C');
    EXPECT_EQ(store.ReadString(Hive::CurrentUser, kShellFolders, "Start Menu"),
              "C:\\.local\\share\\applications");
    EXPECT_EQ(store.ReadString(Hive::CurrentUser, kShellFolders, "Desktop"), "C:\\Desktop");
    test::WriteHostFile(home + "/.config/user-dirs.dirs", "# user dirs\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    EXPECT_EQ(store.ReadString(Hive::CurrentUser, kShellFolders, "desktop"), "C:\\Bureau");
    ASSERT_TRUE(store.WriteString(Hive::CurrentUser, kShellFolders, "Desktop", "D:\\Elsewhere"));
    EXPECT_EQ(store.ReadString(Hive::CurrentUser, kShellFolders, "Desktop"), "D:\\Elsewhere");
}

}  // namespace
}  // namespace vpk
