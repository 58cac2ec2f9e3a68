// Whole backup runs over real files in a temporary installation.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "runner/archive_verifier.h"
#include "runner_fixture.h"
#include "store/archive_statistics.h"
#include "store/permanent_password.h"

namespace vpk::test {
namespace {

namespace fs = std::filesystem;

class BackupRunTest : public RunnerFixture {};

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(BackupRunTest, NumberedQueryBuildsCopiesChecksAndLogsTheArchive) {
    TestTree(C("data"), {{"a.txt", "alpha"}, {"sub/b.txt", std::string(5000, 'b')}, {"skip.tmp", "t"}});
    Query("7", "C:\\data", "C:\\save\\", "Docs", {{"exclu", "|*.tmp|*.tmp"}});

    const RunResult r = Run({"7"});

    EXPECT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(r.destArchive, "C:\\SAVE\\1703Docs.zip");
    const auto names = Entries(C("SAVE/1703Docs.zip"));
    EXPECT_TRUE(Has(names, "data\\a.txt") && Has(names, "data\\sub\\b.txt")) << names.size();
    EXPECT_FALSE(Has(names, "data\\skip.tmp"));  // excluded, and the repeated item did no harm
    EXPECT_TRUE(HostExists(install_.ProgramHost() + "/Sas_Zip/Docs.zip"));
    EXPECT_TRUE(InOrder(
        r.log, {Text("020029") + "7", Text("020004") + "C:\\data\\*.*", Text("020005") + "|*.tmp|*.tmp",
                Text("020006") + "C:\\SAVE\\" + Text("020000"), Text("020027"), "Docs.zip [",
                Text("020035") + " [ 5 , C:\\SAVE\\ , ????Docs* ]", Text("020036"),
                Text("020026") + "C:\\SAVE\\", Text("020010"), Text("020016") + "1703Docs.zip [",
                Text("020007") + "[ 2 / ", Text("020017"), Text("020021")}));
    // The log file holds what the memo held, and the counter reached the store.
    const std::string logFile = ReadHostFile(install_.ProgramHost() + "/VPKLogrun.txt");
    EXPECT_NE(logFile.find(Text("020017") + "\r\n"), std::string::npos);
    ArchiveStatistics stats;
    ASSERT_EQ(stats.Load(install_.ProgramHost() + "/vortipak.cfg"), ArchiveStatistics::LoadResult::Loaded);
    EXPECT_EQ(stats.FilesArchivedTotal(), 2);
    Run({"7"});
    ASSERT_EQ(stats.Load(install_.ProgramHost() + "/vortipak.cfg"), ArchiveStatistics::LoadResult::Loaded);
    EXPECT_EQ(stats.FilesArchivedTotal(), 2);  // nothing changed: nothing archived again
}

TEST_F(BackupRunTest, WithoutStoredPathsNamesAreRelativeToTheDataFolder) {
    TestTree(C("data"), {{"a.txt", "alpha"}, {"sub/b.txt", "beta"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Flat", {{"storepath", "0"}, {"exclu", "|b.txt"}});
    const RunResult r = Run({"1"});
    ASSERT_TRUE(r.succeeded);
    EXPECT_EQ(Entries(C("SAVE/1703Flat.zip")), std::vector<std::string>{"a.txt"});
}

TEST_F(BackupRunTest, UpdateModeOnlyUpdatesTheStagingArchive) {
    TestTree(C("data"), {{"a.txt", "alpha"}, {"b.txt", "beta"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs");
    ASSERT_TRUE(Run({"1"}).succeeded);
    const std::string staging = install_.ProgramHost() + "/Sas_Zip/Docs.zip";
    const auto firstNames = Entries(staging);

    // Unchanged sources: the update has nothing to do, and that is a success, not an error.
    RunResult r = Run({"1"});
    EXPECT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(Entries(staging), firstNames);

    WriteHostFile(C("data/c.txt"), "new");
    fs::remove(C("data/a.txt"));
    r = Run({"1"});
    EXPECT_TRUE(r.succeeded);
    const auto names = Entries(staging);
    // Update keeps what the archive held (a.txt) and adds the new file.
    EXPECT_TRUE(Has(names, "data\\a.txt") && Has(names, "data\\c.txt")) << names.size();

    // Update off rebuilds from the current files only.
    Setting("1", "update", "0");
    EXPECT_TRUE(Run({"1"}).succeeded);
    EXPECT_FALSE(Has(Entries(staging), "data\\a.txt"));
}

TEST_F(BackupRunTest, AllQueriesRunsSections1To150WithTheirOwnExclusions) {
    TestTree(C("src1"), {{"a.txt", "1"}, {"a.log", "1"}});
    TestTree(C("src2"), {{"b.txt", "2"}, {"b.log", "2"}});
    Query("1", "C:\\src1\\", "C:\\save\\", "One", {{"exclu", "|*.log"}});
    Query("2", "C:\\src2\\", "C:\\save\\", "Two");
    Query("3", "C:\\missing\\", "C:\\save\\", "Missing");
    Query("151", "C:\\src1\\", "C:\\save\\", "Scratch");

    const RunResult r = Run({"tous"});

    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(Entries(C("SAVE/1703One.zip")), std::vector<std::string>{"src1\\a.txt"});
    const auto two = Entries(C("SAVE/1703Two.zip"));
    EXPECT_TRUE(Has(two, "src2\\b.log"));  // query 1's exclusion does not leak into query 2
    EXPECT_FALSE(HostExists(C("SAVE/1703Missing.zip")));
    EXPECT_FALSE(HostExists(C("SAVE/1703Scratch.zip")));
    EXPECT_TRUE(InOrder(r.log, {Text("020020"), "One.zip [", "Two.zip ["}));
}

TEST_F(BackupRunTest, QueryFileResolvesApplicationEntriesWithTheirOwnFlags) {
    TestTree(C("other/app"), {{"app.exe", "x"},
                              {"save/s1.dat", "1"},
                              {"save/deep/s2.dat", "2"},
                              {"conf/c.ini", "c"},
                              {"conf/sub/c2.ini", "c2"},
                              {"save/x.bak", "b"}});
    TestTree(C("abs"), {{"z.txt", "z"}});
    const std::string vpk = install_.ProgramHost() + "/Vpk/job.vpk";
    WriteHostFile(vpk,
                  "[divers]\narch=Job\ndest=C:\\save\\\nstorepath=1\nsubdir=1\n"
                  "[application]\nNameExeVpk=app.exe\nPatchExeVpk=C:\\wrong\n"
                  "[add]\n1=(app)\\save\\*.*<>01\n2=(app)\\conf\\*.ini\n3=C:\\abs\\z.txt<>10\n4=\n"
                  "[exc]\n1=(app)\\save\\*.bak\n");

    const RunResult r = Run({Prog() + "Vpk\\job.vpk"});

    EXPECT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    // The application was found on C: and its folder written back into the query file.
    EXPECT_EQ(profile::ReadString(vpk, "application", "PatchExeVpk"), "C:\\other\\app");
    const auto names = Entries(C("SAVE/1703Job.zip"));
    // Entry 1 (flags 01): no paths, sub-folders; entry 2 has no flags and keeps them; entry 3 (10)
    // stores its path without recursing.
    for (const char* name : {"s1.dat", "deep\\s2.dat", "c.ini", "sub\\c2.ini", "abs\\z.txt"})
        EXPECT_TRUE(Has(names, name)) << name;
    EXPECT_FALSE(Has(names, "x.bak"));
    EXPECT_TRUE(InOrder(r.log, {Text("020030") + Prog() + "Vpk\\job.vpk", "Job.zip ["}));
}

TEST_F(BackupRunTest, QueryFileRunsItsProgramBeforeArchiving) {
    TestTree(C("app"), {{"prep.sh", "#!/bin/sh\necho made > \"$(dirname \"$0\")/out/made.txt\"\n"},
                        {"out/keep.txt", "k"}});
    fs::permissions(C("app/prep.sh"), fs::perms::owner_all);
    const std::string vpk = install_.ProgramHost() + "/Vpk/prep.vpk";
    WriteHostFile(vpk,
                  "[divers]\narch=Prep\ndest=C:\\save\\\n[application]\nPatchExeVpk=C:\\app\n"
                  "[RunBeforeAdd]\nToRun=C:\\app\\prep.sh\n[add]\n1=(app)\\out\\*.*<>01\n");
    const RunResult r = Run({Prog() + "Vpk\\prep.vpk"});
    ASSERT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    const auto names = Entries(C("SAVE/1703Prep.zip"));
    EXPECT_TRUE(Has(names, "made.txt") && Has(names, "keep.txt")) << names.size();
}

TEST_F(BackupRunTest, CloseTimerQuitsOnlyAfterASuccessfulRun) {
    TestTree(C("data"), {{"a.txt", "alpha"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs");
    Query("2", "C:\\missing\\", "C:\\save\\", "None");
    Setting("general", "timeoutsec", "2");
    for (const char* query : {"1", "2"}) {
        MainWindowModel window;
        RunState state;
        Runner runner(
            window, state, {Prog(), InstallDir()},
            {[] { return true; }, [](char) { return true; }, [](const std::string&) {}, nullptr, nullptr});
        runner.Start({query}, SwShowMinNoActive);
        runner.Dispatch();
        const bool success = std::string(query) == "1";
        EXPECT_FALSE(runner.CloseTimerTimer());
        EXPECT_EQ(runner.CloseTimerTimer(), success) << query;  // a failed run waits for the user
        EXPECT_EQ(runner.Quitted(), success);
        if (success) {
            EXPECT_EQ(window.Window().caption, Text("000029") + "0 s");
        }
    }
}

TEST_F(BackupRunTest, RetentionKeepsTheCountAndNeverLosesAnArchive) {
    TestTree(C("data"), {{"a.txt", "alpha"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs", {{"maxfile", "5"}});
    fs::create_directories(C("SAVE"));
    const char* old[] = {"1003Docs.zip", "1103Docs.zip", "1203Docs.zip", "1303Docs.zip", "1603Docs.zip"};
    int day = 10;
    for (const char* name : old) {
        WriteHostFile(C(std::string("SAVE/") + name), "old");
        Fs().SetFileTime(C(std::string("SAVE/") + name), 1773100000 + (day++) * 86400);
    }
    const auto archives = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(C("SAVE"))) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };

    // A copy that fails (a folder stands where the archive goes) removes nothing and is an error.
    fs::create_directories(C("SAVE/1703Docs.zip"));
    RunResult r = Run({"1"});
    EXPECT_FALSE(r.succeeded);
    EXPECT_EQ(archives().size(), 6u);
    EXPECT_TRUE(HostExists(C("SAVE/1003Docs.zip")));
    EXPECT_TRUE(HostExists(install_.ProgramHost() + "/Sas_Zip/Docs.zip"));
    fs::remove(C("SAVE/1703Docs.zip"));

    // A new day: the oldest goes once the new archive is in place.
    r = Run({"1"});
    ASSERT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(archives(), (std::vector<std::string>{"1103Docs.zip", "1203Docs.zip", "1303Docs.zip",
                                                    "1603Docs.zip", "1703Docs.zip"}));
    EXPECT_TRUE(InOrder(r.log, {Text("020035"), "=1003Docs.zip", "=1603Docs.zip", Text("020016"),
                                Text("020034") + "C:\\SAVE\\1003Docs.zip" + Text("020000")}));

    // The same day again: today's archive is replaced, no other one removed.
    WriteHostFile(C("data/b.txt"), "beta");
    r = Run({"1"});
    ASSERT_TRUE(r.succeeded);
    EXPECT_EQ(archives().size(), 5u);
    EXPECT_TRUE(HostExists(C("SAVE/1103Docs.zip")));
    EXPECT_TRUE(Has(Entries(C("SAVE/1703Docs.zip")), "data\\b.txt"));

    // Below the count nothing is removed.
    Setting("1", "maxfile", "7");
    clock_.Set({2026, 3, 18, 9, 0, 0, 0, 4});
    ASSERT_TRUE(Run({"1"}).succeeded);
    EXPECT_EQ(archives().size(), 6u);
}

TEST_F(BackupRunTest, DatePrefixFollowsTheDayMonthSetting) {
    TestTree(C("data"), {{"a.txt", "alpha"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs");
    clock_.Set({2026, 1, 5, 9, 0, 0, 0, 2});
    const struct {
        const char* dm;
        const char* archive;
    } cases[] = {{"1", "0501Docs.zip"}, {"0", "0105Docs.zip"}};
    for (const auto& c : cases) {
        Setting("general", "dm", c.dm);
        const RunResult r = Run({"1"});
        EXPECT_TRUE(r.succeeded);
        EXPECT_TRUE(HostExists(C(std::string("SAVE/") + c.archive))) << c.archive;
    }
}

TEST_F(BackupRunTest, ErrorReportForFilesInUseAndMissingData) {
    TestTree(C("data"), {{"a.txt", "alpha"}, {"locked.txt", "busy"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs", {{"eject", "1"}, {"qw95", "1"}});
    const int fd = ::open(C("data/locked.txt").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    RunResult r = Run({"1"});
    ::close(fd);
    EXPECT_FALSE(r.succeeded);
    ASSERT_EQ(r.inUse.size(), 1u);
    EXPECT_NE(r.inUse[0].find("locked.txt"), std::string::npos);
    EXPECT_EQ(r.finalMessage, Text("000046"));
    EXPECT_TRUE(InOrder(r.log, {Text("020018"), Text("020021")}));
    EXPECT_EQ(r.shutdowns, 0);  // a failed backup never shuts the machine down

    Query("2", "C:\\nothing\\", "C:\\save\\", "None");
    r = Run({"2"});
    EXPECT_FALSE(r.succeeded);
    EXPECT_FALSE(r.errors.empty());

    ASSERT_TRUE(Run({"1"}).succeeded);
    EXPECT_EQ(Run({"1"}).shutdowns, 1);
}

TEST_F(BackupRunTest, SelfExtractingQueryCopiesAProgramThatExtractsAndIsUpdatedNextRun) {
    // The stub ships in the program folder of every installation.
    WriteHostFile(install_.ProgramHost() + "/VPKSFX.BIN", ReadHostFile(InstallDir() + "/VPKSFX.BIN"));
    TestTree(C("data"), {{"a.txt", "alpha"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs", {{"sfx", "1"}});
    RunResult r = Run({"1"});
    ASSERT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_EQ(r.destArchive, "C:\\SAVE\\1703Docs.exe");
    ASSERT_TRUE(HostExists(C("SAVE/1703Docs.exe")));
    EXPECT_TRUE(InOrder(r.log, {Text("020012") + "Docs.exe"}));
    // The staging program went back to a plain archive, so the next run can update it.
    EXPECT_TRUE(HostExists(install_.ProgramHost() + "/Sas_Zip/Docs.zip"));

    const test::TempDir out;
    std::string printed;
    ASSERT_EQ(test::RunShell("'" + C("SAVE/1703Docs.exe") + "' --yes --dir '" + out.Path() + "' </dev/null", &printed),
              0)
        << printed;
    EXPECT_EQ(ReadHostFile(out / "data/a.txt"), "alpha");

    TestTree(C("data"), {{"b.txt", "beta"}});
    r = Run({"1"});
    ASSERT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    const test::TempDir again;
    ASSERT_EQ(test::RunShell("'" + C("SAVE/1703Docs.exe") + "' --yes --dir '" + again.Path() + "' </dev/null", &printed),
              0)
        << printed;
    EXPECT_EQ(ReadHostFile(again / "data/a.txt"), "alpha");
    EXPECT_EQ(ReadHostFile(again / "data/b.txt"), "beta");
}

TEST_F(BackupRunTest, PasswordComesFromThePermanentOneOrTheDialog) {
    TestTree(C("data"), {{"a.txt", "alpha"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs", {{"pass", "1"}, {"update", "0"}});
    const auto encrypted = [&] {
        const std::string dest = C("SAVE/1703Docs.zip");
        return !VerifyArchive(dest, InstallDir(), "", 1).ok;
    };
    // Asked, given twice the same: encrypted with it, and the archive checks with that password.
    dialogs_.QueueAnswer(1);
    dialogs_.QueueText("s3cret");
    dialogs_.QueueText("s3cret");
    RunResult r = Run({"1"});
    EXPECT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_TRUE(encrypted());
    EXPECT_TRUE(VerifyArchive(C("SAVE/1703Docs.zip"), InstallDir(), "s3cret", 1).ok);
    EXPECT_TRUE(InOrder(r.log, {Text("020008")}));

    // Refused: a plain archive.
    dialogs_.QueueAnswer(2);
    r = Run({"1"});
    EXPECT_TRUE(r.succeeded);
    EXPECT_FALSE(encrypted());

    // The permanent password is used without asking.
    WritePermanentPassword(Ini(), "perm-pass");
    const std::size_t asked = dialogs_.Asked().size();
    r = Run({"1"});
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(dialogs_.Asked().size(), asked);
    EXPECT_TRUE(VerifyArchive(C("SAVE/1703Docs.zip"), InstallDir(), "perm-pass", 1).ok);
    EXPECT_TRUE(encrypted());
}

TEST_F(BackupRunTest, DestinationFolderTypedIsCreatedOnlyWhenAllowedAndConfirmed) {
    const struct {
        const char* allowed;
        int answer;
        bool created;
    } cases[] = {{"1", 1, true}, {"1", 2, false}, {"0", 1, false}};
    for (const auto& c : cases) {
        fs::remove_all(C("NEW"));
        Setting("admini", "n", c.allowed);
        ScriptedDialogs dialogs;
        dialogs.QueueAnswer(c.answer);
        Dialogs::Install(&dialogs);
        MainWindowModel window;
        RunState state;
        Runner runner(window, state, {Prog(), InstallDir()});
        runner.Start({}, SwShowNormal);
        runner.ComboPathChange("C:\\NEW\\SUB\\");
        runner.CreerRepertoire();
        EXPECT_EQ(HostExists(C("NEW/SUB")), c.created) << c.allowed << c.answer;
        EXPECT_EQ(dialogs.Asked().size(), c.allowed[0] == '1' ? 1u : 0u);
        if (c.allowed[0] == '0') {
            EXPECT_EQ(window.DestinationBox().tooltip, Text("022030"));
        }
        if (c.created) {
            EXPECT_NE(window.LogLines().back().find(Text("020006") + "C:\\NEW\\SUB\\"), std::string::npos);
        }
        Dialogs::Install(&dialogs_);
    }
}

TEST_F(BackupRunTest, LogSizeLimitAsksAndKeepsTheLogOnNo) {
    TestTree(C("data"), {{"a.txt", "alpha"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs");
    Setting("general", "logline", "10");
    dialogs_.QueueAnswer(2);  // "sNo": keep the log, raise the limit
    Run({"1"});
    ASSERT_EQ(dialogs_.Asked().size(), 1u);
    EXPECT_NE(dialogs_.Asked()[0].lines[1].find(Text("020915")), std::string::npos);
    EXPECT_EQ(profile::ReadString(Ini(), "general", "logline"), "510");
    dialogs_.QueueAnswer(1);
    Setting("general", "logline", "10");
    Run({"1"});
    EXPECT_EQ(ReadHostFile(install_.ProgramHost() + "/VPKLogrun.txt"), "");
}

TEST_F(BackupRunTest, RunLogIsWrittenInTheChosenLanguage) {
    if (!HostExists(InstallDir() + "/french.lgn")) GTEST_SKIP();
    WriteHostFile(install_.ProgramHost() + "/french.lgn", ReadHostFile(InstallDir() + "/french.lgn"));
    Setting("general", "lang", "French");
    TestTree(C("data"), {{"a.txt", "alpha"}});
    Query("1", "C:\\data\\", "C:\\save\\", "Docs");
    const RunResult r = Run({"1"});
    TLanguage french;
    french.SetFN(install_.ProgramHost() + "/french.lgn");
    ASSERT_NE(french.MessageText("020017"), Text("020017"));
    EXPECT_TRUE(InOrder(r.log, {french.MessageText("020029") + "1", french.MessageText("020017")}));
}

}  // namespace
}  // namespace vpk::test
