#include "platform/dialogs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "platform/event_pump.h"

namespace vpk {
namespace {

// What every Dialogs implementation does when nobody answers: a scripted one with an empty script and
// the console one without a terminal both close the dialog, which answers the last (cancelling) button.
class DialogsConformance : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        if (GetParam() == "console") {
            // No terminal: standard input from /dev/null.
            savedStdin_ = ::dup(STDIN_FILENO);
            std::FILE* null = std::freopen("/dev/null", "r", stdin);
            ASSERT_NE(null, nullptr);
            dialogs_ = std::make_unique<ConsoleDialogs>();
        } else {
            dialogs_ = std::make_unique<ScriptedDialogs>();
        }
    }
    void TearDown() override {
        if (savedStdin_ >= 0) {
            ::dup2(savedStdin_, STDIN_FILENO);
            ::close(savedStdin_);
        }
    }
    std::unique_ptr<Dialogs> dialogs_;
    int savedStdin_ = -1;
};

TEST_P(DialogsConformance, UnansweredDialogsTakeTheCancellingButton) {
    const DialogRequest requests[] = {
        {"Question", "?", {"Replace the archive?"}, {"Yes", "No", "Cancel"}},
        {"Warning", "!", {"Disk full", "Insert another disk"}, {"OK", "Stop"}},
        {"Info", "", {"Done"}, {"OK"}},
        {"Broken", "", {}, {}},
    };
    const int expected[] = {3, 2, 1, 1};
    for (std::size_t i = 0; i < std::size(requests); ++i)
        EXPECT_EQ(dialogs_->Ask(requests[i]), expected[i]) << i;
    std::string text = "unchanged";
    EXPECT_FALSE(dialogs_->AskText("Password", "Password:", true, text));
    EXPECT_EQ(text, "unchanged");
}

INSTANTIATE_TEST_SUITE_P(BothDialogs, DialogsConformance, ::testing::Values("console", "scripted"));

TEST(ScriptedDialogs, AnswersInOrderAndRecordsEveryRequest) {
    ScriptedDialogs script;
    script.QueueAnswer(1);
    script.QueueAnswer(9);  // more than the dialog has: the last button
    script.QueueText("secret");
    script.QueueText("\x18");
    const DialogRequest request{"Q", "?", {"Go on?"}, {"Yes", "No"}};
    EXPECT_EQ(script.Ask(request), 1);
    EXPECT_EQ(script.Ask(request), 2);
    std::string text;
    EXPECT_TRUE(script.AskText("Disk", "Label:", false, text));
    EXPECT_EQ(text, "secret");
    EXPECT_FALSE(script.AskText("Disk", "Label:", false, text));
    ASSERT_EQ(script.Asked().size(), 4u);
    EXPECT_EQ(script.Asked()[0].lines, std::vector<std::string>{"Go on?"});
    EXPECT_EQ(script.Asked()[2].caption, "Disk");

    Dialogs::Install(&script);
    EXPECT_EQ(&Dialogs::Current(), &script);
    Dialogs::Install(nullptr);
    EXPECT_NE(dynamic_cast<ConsoleDialogs*>(&Dialogs::Current()), nullptr);
}

TEST(EventPump, InstalledPumpReceivesTheCalls) {
    struct CountingPump : EventPump {
        int calls = 0;
        void ProcessPending() override { ++calls; }
    } pump;
    ProcessPendingEvents();  // the default pump does nothing and must not fail
    EventPump::Install(&pump);
    ProcessPendingEvents();
    ProcessPendingEvents();
    EventPump::Install(nullptr);
    ProcessPendingEvents();
    EXPECT_EQ(pump.calls, 2);
}

}  // namespace
}  // namespace vpk
