// TZipEngine's own file work: listing files, writing the archive comment, copying and removing files.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/zip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"
#include "platform/file_system.h"
#include "support/test_support.h"
#include "zip_test_archive.h"

namespace vpk {
namespace {

namespace fs = std::filesystem;

class ZipEngineFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        engine_.SetUnattended(true);
        engine_.SetHowToDelete(DeleteOpts::htdFinal);
        engine_.OnMessage = [this](TZipEngine& e, int, const std::string&) {
            reported_.push_back(e.ErrorCode());
        };
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        test::WriteHostFile(dir_ / name, bytes);
        return dir_ / name;
    }
    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.Path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir_;
    TZipEngine engine_;
    std::vector<int> reported_;
};

const std::vector<test::TestEntry> kTwo = {{.name = "a.txt", .data = "alpha"},
                                           {.name = "b/c.txt", .data = "gamma"}};

TEST_F(ZipEngineFilesTest, ListingRaisesItsEventsAndAMissingFileListsEmpty) {
    std::vector<std::string> names;
    int updates = 0;
    engine_.OnNewName = [&](TZipEngine&, int seq, const ZipDirEntry& e) {
        names.push_back(std::to_string(seq) + ":" + e.name);
    };
    engine_.OnDirUpdate = [&](TZipEngine&) { ++updates; };
    engine_.SetZipFileName(Write("a.zip", test::BuildTestArchive(kTwo)));
    EXPECT_EQ(names, (std::vector<std::string>{"1:a.txt", "2:b\\c.txt"}));
    EXPECT_EQ(engine_.EntryCount(), 2);
    EXPECT_EQ(updates, 1);

    engine_.SetZipFileName(dir_ / "missing.zip");
    EXPECT_EQ(engine_.ZipFileName(), dir_ / "missing.zip");
    EXPECT_EQ(engine_.EntryCount(), 0);
    EXPECT_EQ(updates, 2);
    EXPECT_TRUE(reported_.empty());
}

TEST_F(ZipEngineFilesTest, FailedListingClearsTheNameAndKeepsWhatWasRead) {
    std::string bytes = test::BuildTestArchive(kTwo);
    const std::size_t secondHeader =
        bytes.size() - zip::kEndRecordSize - (zip::kCentralHeaderSize + kTwo[1].name.size());
    test::Patch32(bytes, secondHeader, 0xDEADBEEF);
    int updates = 0;
    engine_.OnDirUpdate = [&](TZipEngine&) { ++updates; };
    engine_.SetZipFileName(Write("bad.zip", bytes));
    EXPECT_EQ(engine_.ZipFileName(), "");
    EXPECT_EQ(engine_.Entries().size(), 1u);
    EXPECT_EQ(engine_.EntryCount(), 0);
    EXPECT_EQ(engine_.PrefixSize(), 0u);
    EXPECT_EQ(reported_, std::vector<int>{zipmsg::kCentralSignatureWrong});
    EXPECT_EQ(engine_.LastMessage(), "A central header signature is wrong");
    EXPECT_EQ(updates, 1);

    engine_.SetZipFileName(Write("none.zip", std::string(300, 'n')));
    EXPECT_EQ(reported_.back(), zipmsg::kNotAZipArchive);
    EXPECT_EQ(engine_.ZipFileName(), "");
}

TEST_F(ZipEngineFilesTest, CommentIsWrittenIntoTheArchiveAndAnEmptyOneKeepsIt) {
    const std::string path = Write("a.zip", test::BuildTestArchive(kTwo, {.comment = "old"}) + "garbage");
    engine_.SetCodePage(CodePageOpts::cpOEM);
    engine_.SetZipFileName(path);
    EXPECT_EQ(reported_, std::vector<int>{zipmsg::kGarbageWarning});
    EXPECT_EQ(engine_.ArchiveComment(), "old");

    engine_.SetArchiveComment("Sauvegarde du caf\xC3\xA9");
    const std::string written = test::ReadHostFile(path);
    EXPECT_EQ(written.substr(written.size() - 18), "Sauvegarde du caf\x82");  // OEM form, garbage gone
    EXPECT_EQ(engine_.ArchiveComment(), "Sauvegarde du caf\xC3\xA9");

    engine_.SetArchiveComment("");
    EXPECT_EQ(test::ReadHostFile(path), written);

    TZipEngine fresh;
    fresh.SetUnattended(true);
    fresh.SetCodePage(CodePageOpts::cpOEM);
    fresh.SetZipFileName(path);
    EXPECT_EQ(fresh.ArchiveComment(), "Sauvegarde du caf\xC3\xA9");
    EXPECT_EQ(fresh.EntryCount(), 2);
    EXPECT_EQ(fresh.ErrorCode(), 0);  // no garbage warning any more
}

TEST_F(ZipEngineFilesTest, CommentWithoutArchiveIsReported) {
    engine_.SetArchiveComment("text");
    EXPECT_EQ(reported_, std::vector<int>{zipmsg::kInputMissing});
    EXPECT_EQ(engine_.ArchiveComment(), "");
}

TEST_F(ZipEngineFilesTest, CopyArchiveFileReplacesTheDestinationOnlyWithACompleteCopy) {
    const std::string source = Write("source.zip", std::string(20000, 's'));
    fs::last_write_time(source, fs::file_time_type::clock::now() - std::chrono::hours(50));
    const std::string destination = dir_ / "dest.zip";

    EXPECT_EQ(engine_.CopyArchiveFile(dir_ / "missing.zip", destination), -3);
    EXPECT_FALSE(test::HostExists(destination));

    EXPECT_EQ(engine_.CopyArchiveFile(source, destination), 0);
    EXPECT_EQ(test::ReadHostFile(destination), std::string(20000, 's'));
    EXPECT_EQ(Fs().Stat(destination)->mtime, Fs().Stat(source)->mtime);

    Write("dest.zip", "old copy");
    EXPECT_EQ(engine_.CopyArchiveFile(source, destination), 0);
    EXPECT_EQ(test::ReadHostFile(destination).size(), 20000u);

    EXPECT_EQ(engine_.CopyArchiveFile(source, dir_ / "no/such/folder/x.zip"), -1);
    EXPECT_EQ(FolderContents(), (std::vector<std::string>{"dest.zip", "source.zip"}));
}

TEST_F(ZipEngineFilesTest, CopyWhoseSizeDiffersFromItsSourceLeavesNoNewDestination) {
    // A /proc file measures 0 bytes but reads as more: the copy cannot match its source.
    const std::string destination = dir_ / "dest.zip";
    EXPECT_EQ(engine_.CopyArchiveFile("/proc/self/status", destination), -9);
    EXPECT_FALSE(test::HostExists(destination));

    Write("dest.zip", "the previous backup");
    EXPECT_EQ(engine_.CopyArchiveFile("/proc/self/status", destination), -9);
    EXPECT_EQ(test::ReadHostFile(destination), "the previous backup");
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"dest.zip"});
}

TEST_F(ZipEngineFilesTest, RemoveFileDeletesOrSaysItIsMissing) {
    const std::string path = Write("old.zip", "x");
    EXPECT_EQ(engine_.RemoveFile(dir_ / "nothing.zip", DeleteOpts::htdFinal), -1);
    EXPECT_EQ(engine_.RemoveFile(path, DeleteOpts::htdFinal), 0);
    EXPECT_FALSE(test::HostExists(path));
    Write("rel.zip", "x");
    const std::string saved = Fs().CurrentFolder();
    ASSERT_TRUE(Fs().SetCurrentFolder(dir_.Path()));
    EXPECT_EQ(engine_.RemoveFile("rel.zip", DeleteOpts::htdFinal), 0);
    Fs().SetCurrentFolder(saved);
    EXPECT_FALSE(test::HostExists(dir_ / "rel.zip"));
}

}  // namespace
}  // namespace vpk
