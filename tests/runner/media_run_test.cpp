// Runs whose destination is the removable A: drive: disk checks, rotation labels, room on the disk.
#include <filesystem>
#include <random>

#include "runner_fixture.h"

namespace vpk::test {
namespace {

namespace fs = std::filesystem;

class MediaRunTest : public RunnerFixture {
  protected:
    void SetUp() override {
        RunnerFixture::SetUp();
        if (IsSkipped()) return;
        TestTree(C("data"), {{"a.txt", "alpha"}});
        Query("1", "C:\\data\\", "A:\\", "Docs", {{"eject", "1"}});
    }
    std::string Label() const { return Fs().VolumeLabel('A').value_or("?"); }
    bool AskedFor(const std::string& text) const {
        for (const auto& request : dialogs_.Asked())
            for (const auto& line : request.lines)
                if (line.find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(MediaRunTest, NoDiskAskedThenCancelSendsTheArchiveToC) {
    fs::remove_all(install_.DriveHost('A'));
    dialogs_.QueueAnswer(2);  // "sCancel"
    const RunResult r = Run({"1"});
    EXPECT_TRUE(AskedFor("A:\\"));
    EXPECT_TRUE(r.succeeded);
    EXPECT_EQ(r.destArchive, "C:\\1703Docs.zip");
    EXPECT_TRUE(HostExists(C("1703Docs.zip")));
    EXPECT_TRUE(InOrder(r.log, {Text("020033"), Text("020016") + "1703Docs.zip ["}));
    EXPECT_EQ(r.ejects, 0);  // C: is not removable
}

TEST_F(MediaRunTest, DiskPresentIsUsedLabelledAndEjectedAfterSuccess) {
    const RunResult r = Run({"1"});
    ASSERT_TRUE(r.succeeded) << (r.errors.empty() ? "" : r.errors.front());
    EXPECT_TRUE(dialogs_.Asked().empty());
    EXPECT_TRUE(HostExists(A("1703Docs.zip")));
    EXPECT_EQ(Label(), "VPK-1-3");  // a blank disk becomes today's (Tuesday) disk
    EXPECT_EQ(r.finalMessage, Text("000045"));
    EXPECT_EQ(r.ejects, 1);
}

TEST_F(MediaRunTest, RotationAcceptsTodaysDiskAndAsksForAnotherDay) {
    Setting("general", "DskTurnGame", "1");
    ASSERT_TRUE(Fs().SetVolumeLabel('A', "VPK-12-3"));
    ASSERT_TRUE(Run({"1"}).succeeded);
    EXPECT_EQ(Label(), "VPK-13-3");

    clock_.Set({2026, 3, 18, 9, 0, 0, 0, 4});  // Wednesday: the Tuesday disk is the wrong one
    dialogs_.QueueAnswer(2);
    const RunResult r = Run({"1"});
    EXPECT_TRUE(AskedFor(Text("000184")));
    EXPECT_EQ(r.destArchive, "C:\\1803Docs.zip");
    EXPECT_EQ(Label(), "VPK-13-3");
}

TEST_F(MediaRunTest, NotEnoughRoomOffersFourChoices) {
    std::mt19937 random(7);
    std::string noise(1600 * 1024, '\0');
    for (auto& c : noise) c = static_cast<char>(random());
    WriteHostFile(C("data/big.bin"), noise);
    Setting("1", "level", "0");
    const struct {
        std::vector<int> answers;
        bool succeeded;
        std::string errorKey;  // expected in the error list; empty: none
        std::string archive;   // host file expected afterwards; empty: none
        std::size_t questions;
    } cases[] = {
        {{2}, false, "020049", "", 1},         // abort
        {{1, 2}, false, "020049", "", 2},      // retry with the same disk, then abort
        {{3}, false, "020051", "", 1},         // split: not available in this build
        {{4}, true, "", "c/1703Docs.zip", 1},  // cancel: the archive goes to C:\ instead
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        Dialogs::Install(&dialogs);
        for (int a : c.answers) dialogs.QueueAnswer(a);
        fs::remove(C("1703Docs.zip"));
        const RunResult r = Run({"1"});
        EXPECT_EQ(r.succeeded, c.succeeded) << c.answers.back();
        std::size_t roomQuestions = 0;
        for (const auto& q : dialogs.Asked()) roomQuestions += q.buttons.size() == 4;
        EXPECT_EQ(roomQuestions, c.questions) << c.answers.back();
        if (!c.errorKey.empty()) {
            ASSERT_FALSE(r.errors.empty());
            EXPECT_NE(r.errors[0].find(Text(c.errorKey)), std::string::npos) << r.errors[0];
        }
        if (!c.archive.empty()) {
            EXPECT_TRUE(HostExists(install_.Root() + "/" + c.archive));
        }
        EXPECT_FALSE(HostExists(A("1703Docs.zip")));
        EXPECT_EQ(r.ejects, 0);
        EXPECT_TRUE(InOrder(r.log, {Text("020010") + Text("020011")}));
        Dialogs::Install(&dialogs_);
    }
}

}  // namespace
}  // namespace vpk::test
