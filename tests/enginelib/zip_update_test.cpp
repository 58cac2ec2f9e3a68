// Changing an existing archive: freshen, update, delete, move, and what a stop or a failure leaves.
#include <unistd.h>

#include <filesystem>

#include "enginelib_fixture.h"

namespace vpk::test {
namespace {

class ZipUpdateTest : public EngineLibTest {
  protected:
    void SetUp() override {
        TestTree(C("d"), {{"old.txt", "old"}, {"same.txt", "same"}, {"new.txt", "new"}});
        SetAge("d/old.txt", 3600 * 24 * 400);
        SetAge("d/same.txt", 3600 * 24 * 400);
        ZipRequest add;
        add.archive = kArchive;
        add.specs = {"C:\\d\\old.txt", "C:\\d\\same.txt"};
        ASSERT_EQ(lib.Zip(add), 2);
        // old.txt changes after the archive was made; same.txt does not; new.txt was never stored.
        WriteHostFile(C("d/old.txt"), "changed");
        SetAge("d/old.txt", 0);
    }
    void SetAge(const std::string& relative, long seconds) {
        const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds);
        std::filesystem::last_write_time(C(relative), when);
    }
    std::map<std::string, std::string> Contents() {
        Fs().CreateFolderChain("C:\\x");
        std::filesystem::remove_all(C("x"));
        ExtractAllTo(kArchive, "C:\\x");
        return ReadTree(C("x/d"));
    }
    static constexpr const char* kArchive = "C:\\a.zip";
};

TEST_F(ZipUpdateTest, FreshenUpdateAndAddReplaceWhatTheyShould) {
    struct Case {
        const char* what;
        bool update, freshen;
        std::int32_t changed;
        std::map<std::string, std::string> contents;
    };
    const Case cases[] = {
        {"freshen: only newer files of entries already stored",
         false,
         true,
         1,
         {{"old.txt", "changed"}, {"same.txt", "same"}}},
        {"update: newer files and new files",
         true,
         false,
         2,
         {{"old.txt", "changed"}, {"same.txt", "same"}, {"new.txt", "new"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        ZipRequest r;
        r.archive = kArchive;
        r.specs = {"C:\\d\\*.*"};
        r.update = c.update;
        r.freshen = c.freshen;
        EXPECT_EQ(lib.Zip(r), c.changed);
        EXPECT_EQ(Contents(), c.contents);
    }
}

TEST_F(ZipUpdateTest, FreshenWithNothingNewerLeavesTheArchiveUntouched) {
    WriteHostFile(C("d/old.txt"), "old");
    SetAge("d/old.txt", 3600 * 24 * 500);
    const std::string before = ReadHostFile(C("a.zip"));
    ZipRequest r;
    r.archive = kArchive;
    r.specs = {"C:\\d\\*.*"};
    r.freshen = true;
    EXPECT_EQ(lib.Zip(r), 0);
    EXPECT_EQ(ReadHostFile(C("a.zip")), before);
}

TEST_F(ZipUpdateTest, DeleteRemovesMatchingEntriesAndCopiesTheRestRaw) {
    ZipRequest r;
    r.archive = kArchive;
    r.specs = {"d\\OLD.TXT"};  // names as listed: "\" separators, any case
    r.deleteEntries = true;
    EXPECT_EQ(lib.Zip(r), 1);
    EXPECT_EQ(Contents(), (std::map<std::string, std::string>{{"same.txt", "same"}}));
    r.specs = {"nothing*"};
    EXPECT_EQ(lib.Zip(r), 0);
    EXPECT_TRUE(lib.HasMessage(kLibErrNothingToDo));
}

TEST_F(ZipUpdateTest, MoveDeletesSourcesOnlyOnceStored) {
    ZipRequest r;
    r.archive = kArchive;
    r.specs = {"C:\\d\\new.txt"};
    r.move = true;
    EXPECT_EQ(lib.Zip(r), 1);
    EXPECT_FALSE(HostExists(C("d/new.txt")));
    EXPECT_EQ(Contents().at("new.txt"), "new");
}

TEST_F(ZipUpdateTest, AStopLeavesTheOldArchiveExactlyAsItWasAndNoTemporaryFile) {
    TestTree(C("d"), {{"more1.txt", std::string(100000, 'm')}, {"more2.txt", "2"}});
    const std::string before = ReadHostFile(C("a.zip"));
    for (int stopAt : {1, 3, 4, 6}) {
        SCOPED_TRACE(stopAt);
        ZipRequest r;
        r.archive = kArchive;
        r.specs = {"C:\\d\\*.*"};
        r.move = true;
        lib.cancelAfter = stopAt;
        EXPECT_EQ(lib.Zip(r), 0);
        EXPECT_EQ(ReadHostFile(C("a.zip")), before);
        EXPECT_TRUE(HostExists(C("d/more1.txt"))) << "a stopped move deletes nothing";
        std::size_t files = 0;
        for (const auto& e : std::filesystem::directory_iterator(install.DriveHost('C')))
            files += e.is_regular_file();
        EXPECT_EQ(files, 1u) << "only a.zip in C:\\";
    }
}

TEST_F(ZipUpdateTest, ADamagedArchiveIsNeitherReplacedNorTouched) {
    std::string bytes = ReadHostFile(C("a.zip"));
    bytes.resize(bytes.size() - 30);  // end record cut
    WriteHostFile(C("a.zip"), bytes);
    ZipRequest r;
    r.archive = kArchive;
    r.specs = {"C:\\d\\*.*"};
    EXPECT_EQ(lib.Zip(r), 0);
    EXPECT_TRUE(lib.HasMessage(kLibErrArchive));
    EXPECT_EQ(ReadHostFile(C("a.zip")), bytes);
}

TEST_F(ZipUpdateTest, AFileThatCannotBeReadIsReportedAndSkipped) {
    // A link whose target vanished: listed by the folder scan, but it cannot be opened.
    ::symlink(C("gone.txt").c_str(), C("d/vanished.txt").c_str());
    ZipRequest r;
    r.archive = kArchive;
    r.specs = {"C:\\d\\*.*"};
    const std::int32_t stored = lib.Zip(r);
    EXPECT_EQ(stored, 3);
    const auto contents = Contents();
    EXPECT_EQ(contents.count("vanished.txt"), 0u);
    EXPECT_EQ(contents.at("new.txt"), "new");
}

TEST_F(ZipUpdateTest, DiskFullIsReportedAndTheOldArchiveStays) {
    // A 256 KiB medium holding a small archive; the add needs more than what is left.
    install.AddDrive('D');
    const std::string root = install.DriveHost('D');
    if (RunShell("mount -t tmpfs -o size=256k tmpfs " + Quote(root) + " 2>/dev/null") != 0)
        GTEST_SKIP() << "no tmpfs mount here";
    struct Unmount {
        std::string root;
        ~Unmount() { RunShell("umount " + Quote(root)); }
    } unmount{root};
    std::string random(400000, '\0');
    unsigned seed = 7;
    for (auto& c : random) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
    TestTree(C("d"), {{"big.bin", random}});
    ZipRequest r;
    r.archive = "D:\\a.zip";
    r.specs = {"C:\\d\\old.txt"};
    ASSERT_EQ(lib.Zip(r), 1);
    const std::string before = ReadHostFile(root + "/a.zip");
    r.specs = {"C:\\d\\*.*"};
    EXPECT_EQ(lib.Zip(r), 0);
    EXPECT_TRUE(lib.HasMessage(kLibErrWrite));
    EXPECT_EQ(ReadHostFile(root + "/a.zip"), before);
    std::size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(root)) files += e.is_regular_file();
    EXPECT_EQ(files, 1u) << "the partial new archive is gone";
}

}  // namespace
}  // namespace vpk::test
