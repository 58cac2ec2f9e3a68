// Whole backup runs shown in the main window: the runner writes, the window shows, the user may quit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "runner/form1_window.h"
#include "support/test_support.h"
#include "ui/qt_event_pump.h"
#include "window_fixture.h"

namespace vpk {
namespace {

class Form1RunTest : public testing::Test, public test::WindowFixture {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(test::InstallDir() + "/libvpkzip.so"))
            GTEST_SKIP() << "zip libraries not built";
        // The engine pumps events through its callback: the window repaints and hears the user.
        EventPump::Install(&pump);
        Clock::Install(&clock);
        for (int i = 0; i < 24; ++i)
            test::WriteHostFile(installation.DriveHost('C') + "/Data/file" + std::to_string(i) + ".txt",
                                std::string(20000 + i, static_cast<char>('a' + i % 26)));
        Set("1", "data", "C:\\Data\\");
        Set("1", "dest", "C:\\Save\\");
        Set("1", "arch", "Docs");
        Set("general", "wav", "0");
    }
    void TearDown() override {
        EventPump::Install(nullptr);
        Clock::Install(nullptr);
    }

    // Starts "vortipak 1" as the program does with a display, up to the end of the outcome report.
    TForm1& RunQueryOne() {
        TForm1& w = Window({"1"});
        w.FormCreate();
        w.FormShow();
        runner->Dispatch();
        w.ShowMemo();
        w.ShowRunState();
        if (state.CloseTimerOn) w.StartCloseTimer();
        return w;
    }

    // Sees every progress value and file counter the window shows while the engine works.
    struct Watcher : MainWindowListener {
        std::vector<int> positions;
        std::vector<std::string> counters;
        std::function<void()> onFirstFile;
        void OnProgress(const ProgressElement& p) override { positions.push_back(p.position); }
        void OnLabel(LabelId id, const LabelElement& l) override {
            if (id != LabelId::LbFileNbProcess || l.text.empty()) return;
            counters.push_back(l.text);
            if (counters.size() == 3 && onFirstFile) onFirstFile();
        }
    };

    ui::QtEventPump pump;
    FixedClock clock{{2026, 12, 7, 9, 15, 0, 0, 2}};
};

TEST_F(Form1RunTest, NumberedQueryShowsLiveProgressThenSucceedsAndClosesAfterTheTimeout) {
    Set("general", "timeoutsec", "2");
    Watcher watch;
    model.AddListener(&watch);
    TForm1* shown = nullptr;
    watch.onFirstFile = [&] {
        // Mid-run, as the user sees it.
        if (shown) shown->grab().save(test::ScreenshotDir() + "/main-run-live.png");
    };
    Window({"1"});
    shown = window.get();
    TForm1& w = RunQueryOne();
    model.RemoveListener(&watch);

    EXPECT_TRUE(runner->Succeeded());
    EXPECT_EQ(state.DestArchive, "C:\\SAVE\\0712Docs.zip");
    EXPECT_TRUE(FileSystem::Instance().FileExists(state.DestArchive));
    EXPECT_EQ(watch.counters.back(), "24/24");
    EXPECT_GT(std::count_if(watch.positions.begin(), watch.positions.end(), [](int p) { return p > 1; }), 0);
    EXPECT_EQ(w.windowTitle().toStdString(), w.Lg().MessageText("000027"));
    EXPECT_TRUE(w.isVisible());
    w.grab().save(test::ScreenshotDir() + "/main-run-success.png");

    // The close timer ends the run after "timeoutsec" idle seconds.
    ASSERT_TRUE(w.CloseTimerActive());
    w.CloseTimerTimer();
    EXPECT_EQ(ended, 0);
    w.CloseTimerTimer();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(w.isVisible());
    const std::string log = test::ReadHostFile(ProgramFile("VPKLogrun.txt"));
    EXPECT_NE(log.find(w.Lg().MessageText("020017")), std::string::npos);
}

TEST_F(Form1RunTest, EscDuringTheEngineWorkAsksAndStopsOnlyWhenConfirmed) {
    for (const int answer : {2, 1}) {
        Restart();
        ended = 0;
        std::filesystem::remove_all(installation.DriveHost('C') + "/SAVE");
        std::filesystem::remove_all(installation.ProgramHost() + "/Sas_Zip");
        Watcher watch;
        model.AddListener(&watch);
        watch.onFirstFile = [&] {
            dialogs.QueueAnswer(answer);
            QTest::keyClick(window.get(), Qt::Key_Escape);
        };
        Window({"1"});
        TForm1& w = RunQueryOne();
        model.RemoveListener(&watch);

        ASSERT_FALSE(dialogs.Asked().empty());
        EXPECT_EQ(dialogs.Asked().front().lines.back(), w.Lg().MessageText("020910"));
        EXPECT_EQ(ended, 0) << "the program never quits while the engine works";
        if (answer == 2) {
            EXPECT_TRUE(runner->Succeeded());
            EXPECT_EQ(watch.counters.back(), "24/24");
        } else {
            EXPECT_TRUE(state.CancelRequested);
            EXPECT_FALSE(runner->Succeeded());
            // The cancelled run is reported and waits for the user.
            EXPECT_FALSE(state.CbAutoClose);
            EXPECT_TRUE(w.isVisible());
        }
        dialogs = ScriptedDialogs();
    }
}

TEST_F(Form1RunTest, FailedRunLeavesTheWindowOpenAndWiderWithTheErrors) {
    Set("1", "data", "C:\\Missing\\");
    TForm1& w = RunQueryOne();
    EXPECT_FALSE(runner->Succeeded());
    auto* errors = w.findChild<QListWidget*>("ListBox1");
    ASSERT_NE(errors, nullptr);
    EXPECT_GT(errors->count(), 0);
    EXPECT_TRUE(errors->isVisible());
    EXPECT_EQ(w.width(), errors->x() + errors->width() + 10);
    w.grab().save(test::ScreenshotDir() + "/main-run-error.png");
    for (int i = 0; i < 40; ++i) w.CloseTimerTimer();
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ejects + shutdowns, 0);
}

}  // namespace
}  // namespace vpk
