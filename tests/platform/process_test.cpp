#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/dynamic_library.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace vpk {
namespace {

using test::HostExists;
using test::ReadHostFile;
using test::WriteHostFile;

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

void WriteScript(const std::string& path, const std::string& body) {
    WriteHostFile(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

TEST(Process, CommandLinesMapToHostPrograms) {
    test::TestInstallation install;
    const std::string prog = install.ProgramHost();
    const std::string c = install.DriveHost('C');
    WriteScript(prog + "/wzdvpk", "exit 0\n");
    struct Case {
        std::string line;
        std::vector<std::string> argv;
    };
    const Case cases[] = {
        {"wzdvpk.exe 7", {prog + "/wzdvpk", "7"}},
        {"WZDVPK.EXE \"C:\\My Queries\\q.vpk\"", {prog + "/wzdvpk", c + "/My Queries/q.vpk"}},
        {"explorer.exe C:\\Data", {"xdg-open", c + "/Data"}},
        {"C:\\WINDOWS\\EXPLORER.EXE /e,C:\\Data", {"xdg-open", c + "/Data"}},
        {"explorer /select,C:\\a.txt", {"xdg-open", c + "/a.txt"}},
        {"notepad C:\\VPKLogrun.txt", {"xdg-open", c + "/VPKLogrun.txt"}},
        {"Vpk_Run.exe", {"Vpk_Run"}},  // not beside the programs: a host program of that name
        {"sh -c \"exit 3\"", {"sh", "-c", "exit 3"}},
        {"say \"he said \"\"hi\"\"\"", {"say", "he said \"hi\""}},
        {"", {}},
    };
    for (const auto& cs : cases) EXPECT_EQ(MapCommandLine(cs.line), cs.argv) << cs.line;
}

TEST(Process, RunCommandWaitsWhilePumpingAndReturnsTheExitCode) {
    struct CountingPump : EventPump {
        int calls = 0;
        void ProcessPending() override { ++calls; }
    } pump;
    EventPump::Install(&pump);
    EXPECT_EQ(RunCommand("sh -c \"sleep 0.2; exit 3\"", ShowMode::Hidden, true), 3);
    EventPump::Install(nullptr);
    EXPECT_GT(pump.calls, 0);
    EXPECT_EQ(RunCommand("true", ShowMode::Normal, false), 0);
    EXPECT_EQ(RunCommand("no-such-program-vpk", ShowMode::Normal, true), -1);
    EXPECT_EQ(RunCommand("", ShowMode::Normal, true), -1);
}

TEST(Process, CopyFilesCopiesFilesMasksAndTrees) {
    test::TestInstallation install;
    const std::string c = install.DriveHost('C');
    test::TestTree(c, {{"src/a.txt", "a"}, {"src/b.log", "b"}, {"src/sub/c.txt", "c"}, {"src/.h", "h"}});
    EXPECT_TRUE(CopyFiles("C:\\src", "C:\\dst\\tree"));
    EXPECT_EQ(ReadHostFile(c + "/dst/tree/sub/c.txt"), "c");
    EXPECT_EQ(ReadHostFile(c + "/dst/tree/.h"), "h");
    EXPECT_TRUE(CopyFiles("C:\\src", "C:\\dst\\tree"));  // into an existing folder: beside, answering yes
    EXPECT_EQ(ReadHostFile(c + "/dst/tree/src/a.txt"), "a");
    EXPECT_TRUE(CopyFiles("C:\\src\\*.txt", "C:\\masked"));
    EXPECT_TRUE(HostExists(c + "/masked/a.txt"));
    EXPECT_FALSE(HostExists(c + "/masked/b.log"));
    WriteHostFile(c + "/masked/a.txt", "old");
    EXPECT_TRUE(CopyFiles("C:\\src\\a.txt", "C:\\masked"));
    EXPECT_EQ(ReadHostFile(c + "/masked/a.txt"), "a");
    EXPECT_FALSE(CopyFiles("C:\\missing", "C:\\x"));
    EXPECT_FALSE(CopyFiles("Q:\\src", "C:\\x"));
}

TEST(Process, DeleteToTrashFollowsTheFreedesktopLayout) {
    test::TestInstallation install;
    const std::string c = install.DriveHost('C');
    ScopedEnv home("HOME", c);
    ScopedEnv data("XDG_DATA_HOME", c + "/.local/share");
    test::TestTree(c, {{"old archive.zip", "1"}, {"dir/x", "2"}});
    ASSERT_TRUE(DeleteToTrash("C:\\old archive.zip"));
    EXPECT_FALSE(HostExists(c + "/old archive.zip"));
    const std::string trash = c + "/.local/share/Trash";
    EXPECT_EQ(ReadHostFile(trash + "/files/old archive.zip"), "1");
    const std::string info = ReadHostFile(trash + "/info/old archive.zip.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + c + "/old%20archive.zip\nDeletionDate=", 0), 0u) << info;
    WriteHostFile(c + "/old archive.zip", "again");
    ASSERT_TRUE(DeleteToTrash("C:\\old archive.zip"));
    EXPECT_EQ(ReadHostFile(trash + "/files/old archive.zip.2"), "again");  // never over an earlier one
    EXPECT_TRUE(DeleteToTrash("C:\\DIR"));
    EXPECT_TRUE(HostExists(trash + "/files/dir/x"));
    EXPECT_FALSE(DeleteToTrash("C:\\missing"));
}

TEST(Process, ShutdownAsksSystemdAndReportsRefusal) {
    test::TempDir bin;
    ScopedEnv path("PATH", bin.Path());
    EXPECT_FALSE(RequestShutdown()) << "nothing to ask";
    WriteScript(bin / "systemctl", "echo \"$@\" > " + bin.Path() + "/asked; exit 1\n");
    WriteScript(bin / "loginctl", "exit 1\n");
    EXPECT_FALSE(RequestShutdown());
    EXPECT_EQ(ReadHostFile(bin / "asked"), "poweroff\n");
    WriteScript(bin / "systemctl", "exit 0\n");
    EXPECT_TRUE(RequestShutdown());
}

TEST(Process, SystemFiguresComeFromProc) {
    const MemoryFigures memory = ReadMemoryFigures();
    EXPECT_GT(memory.totalPhys, 0u);
    EXPECT_LE(memory.availPhys, memory.totalPhys);
    EXPECT_LE(memory.loadPercent, 100u);
    EXPECT_GE(memory.totalVirtual, memory.totalPhys);
    EXPECT_LE(memory.availVirtual, memory.totalVirtual);
    EXPECT_LT(memory.minAppAddress, memory.maxAppAddress);
    const SystemFigures system = ReadSystemFigures();
    EXPECT_GE(system.processors, 1u);
    EXPECT_EQ(system.totalPhys, memory.totalPhys);
    EXPECT_GE(system.osMajor, 3u);
    EXPECT_TRUE(system.servicePack.empty());
}

TEST(Process, SoundAndScreenSaverReportNothingWhenTheyCannotWork) {
    test::TempDir bin;
    ScopedEnv path("PATH", bin.Path());
    PlaySoundAsync("C:\\no such sound.wav");  // must simply do nothing
    PlaySoundAsync(bin / "missing.wav");
    SetScreenSaverActive(false);
    EXPECT_FALSE(ScreenSaverActive());
    SetScreenSaverActive(true);
    EXPECT_TRUE(ScreenSaverActive());
}

TEST(DynamicLibrary, LoadsFindsSymbolsAndReportsErrors) {
    DynamicLibrary library;
    EXPECT_FALSE(library.Load("/nonexistent/libvpkzip.so"));
    EXPECT_FALSE(library.Error().empty());
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.Symbol("ZipExec"), nullptr);
    ASSERT_TRUE(library.Load("libm.so.6")) << library.Error();
    EXPECT_NE(library.Symbol("cos"), nullptr);
    EXPECT_EQ(library.Symbol("NoSuchExport"), nullptr);
    library.Unload();
    EXPECT_FALSE(library.IsLoaded());
}

}  // namespace
}  // namespace vpk
