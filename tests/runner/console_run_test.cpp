// The vortipak program itself, as a scheduler or cron starts it: no window, exit status, and a run
// killed in the middle of the archive step.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "runner/archive_verifier.h"
#include "runner_fixture.h"

namespace vpk::test {
namespace {

namespace fs = std::filesystem;

class ConsoleRunTest : public RunnerFixture {
  protected:
    void SetUp() override {
        RunnerFixture::SetUp();
        if (IsSkipped()) return;
        if (!HostExists(InstallDir() + "/vortipak")) GTEST_SKIP() << "vortipak not built";
        for (const char* file : {"vortipak", "libvpkzip.so", "libvpkunz.so"}) {
            fs::copy_file(InstallDir() + "/" + file, install_.ProgramHost() + "/" + file);
        }
        TestTree(C("data"), {{"a.txt", "alpha"}, {"b/c.txt", "gamma"}});
        Query("1", "C:\\data\\", "C:\\save\\", "Docs");
    }

    // Starts the installed program with stdin from /dev/null (no terminal), output to a file.
    pid_t Spawn(const std::vector<std::string>& args) {
        const std::string exe = install_.ProgramHost() + "/vortipak";
        const std::string out = install_.Root() + "/out.txt";
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int in = ::open("/dev/null", O_RDONLY);
            const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(in, 0);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            ::chdir(install_.ProgramHost().c_str());
            // Console mode is what these tests are about, whatever display the test itself has.
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
            std::vector<char*> argv{const_cast<char*>(exe.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(exe.c_str(), argv.data());
            ::_exit(127);
        }
        return pid;
    }
    int Exit(pid_t pid) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int RunProgram(const std::vector<std::string>& args) { return Exit(Spawn(args)); }
    std::string Output() const { return ReadHostFile(install_.Root() + "/out.txt"); }
    bool Valid(const std::string& host) const { return VerifyArchive(host, InstallDir(), "", 1).ok; }
};

TEST_F(ConsoleRunTest, ExitStatusFollowsTheReport) {
    EXPECT_EQ(RunProgram({"1", "/min"}), 0) << Output();
    EXPECT_NE(Output().find(Text("000531")), std::string::npos) << Output();
    // The program runs on the real clock: whatever today's prefix, one checked archive is there.
    ASSERT_EQ(std::distance(fs::directory_iterator(C("SAVE")), fs::directory_iterator()), 1);
    EXPECT_TRUE(Valid(fs::directory_iterator(C("SAVE"))->path().string()));

    Query("2", "C:\\missing\\", "C:\\save\\", "None");
    EXPECT_EQ(RunProgram({"2"}), 1) << Output();
    EXPECT_NE(Output().find(Text("000044")), std::string::npos) << Output();

    EXPECT_EQ(RunProgram({"_REST_A"}), 2);
    EXPECT_EQ(RunProgram({"nothing"}), 2);
}

TEST_F(ConsoleRunTest, WithoutATerminalQuestionsTakeTheSafeAnswer) {
    install_.AddDrive('B', "removable", 1457664, false);  // no disk in B:
    Setting("1", "dest", "B:\\");
    EXPECT_EQ(RunProgram({"1"}), 0) << Output();  // asked for a disk, cancelled: saved on C:\ instead
    const std::string log = ReadHostFile(install_.ProgramHost() + "/VPKLogrun.txt");
    EXPECT_NE(log.find(Text("020033")), std::string::npos);
    bool onC = false;
    for (const auto& e : fs::directory_iterator(install_.DriveHost('C')))
        onC |= e.path().filename().string().ends_with("Docs.zip") && Valid(e.path().string());
    EXPECT_TRUE(onC);
}

TEST_F(ConsoleRunTest, KilledDuringTheArchiveStepLosesNothing) {
    ASSERT_EQ(RunProgram({"1"}), 0) << Output();
    std::string dest;
    for (const auto& e : fs::directory_iterator(C("SAVE"))) dest = e.path().string();
    const std::string staging = install_.ProgramHost() + "/Sas_Zip/Docs.zip";
    ASSERT_TRUE(Valid(dest) && Valid(staging));

    // Enough new data that the archive step is caught while it writes its temporary archive.
    std::mt19937 random(3);
    for (int i = 0; i < 12; ++i) {
        std::string noise(1 << 20, '\0');
        for (auto& c : noise) c = static_cast<char>(random() % 64 + 32);
        WriteHostFile(C("data/big" + std::to_string(i) + ".txt"), noise);
    }
    Setting("1", "level", "9");
    const pid_t pid = Spawn({"1"});
    bool caught = false;
    for (int i = 0; i < 4000 && !caught; ++i) {
        for (const auto& e : fs::directory_iterator(install_.ProgramHost() + "/Sas_Zip"))
            if (e.path().extension() == ".tmp") caught = true;
        if (!caught) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(caught) << "the archive step ended before it could be interrupted";
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_TRUE(Valid(dest));
    EXPECT_TRUE(Valid(staging));
    EXPECT_EQ(RunProgram({"1"}), 0) << Output();
    for (const auto& e : fs::directory_iterator(install_.ProgramHost() + "/Sas_Zip"))
        EXPECT_NE(e.path().extension(), ".tmp") << "left over: " << e.path();
    EXPECT_TRUE(Valid(dest));
}

}  // namespace
}  // namespace vpk::test
