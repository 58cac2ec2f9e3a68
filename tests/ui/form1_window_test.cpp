#include "runner/form1_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "platform/profile_file.h"
#include "store/admin_lock.h"
#include "support/test_support.h"
#include "window_fixture.h"

namespace vpk {
namespace {

using test::WindowFixture;

template <typename T = QWidget>
T* Child(TForm1& window, const char* name) {
    T* child = window.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QAction* ItemOf(TForm1& window, const char* name) {
    return Child<QAction>(window, name);
}

// Visible controls that share pixels with a visible sibling, or stick out of their parent.
std::vector<std::string> LayoutFaults(QWidget& root) {
    std::vector<std::string> faults;
    QList<QWidget*> parents = root.findChildren<QWidget*>();
    parents.append(&root);
    for (QWidget* parent : parents) {
        if (!parent->isVisible() || qobject_cast<QAbstractScrollArea*>(parent) ||
            qobject_cast<QComboBox*>(parent))
            continue;
        std::vector<QWidget*> shown;
        for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (child->isVisible() && !child->isWindow() && !child->objectName().isEmpty())
                shown.push_back(child);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (parent != &root && !parent->rect().contains(shown[i]->geometry()))
                faults.push_back(shown[i]->objectName().toStdString() + " outside " +
                                 parent->objectName().toStdString());
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                if (shown[i]->geometry().intersects(shown[j]->geometry()))
                    faults.push_back(shown[i]->objectName().toStdString() + " overlaps " +
                                     shown[j]->objectName().toStdString());
        }
    }
    return faults;
}

// Every visible text fits its control: nothing clipped.
std::vector<std::string> ClippedTexts(QWidget& root) {
    std::vector<std::string> clipped;
    for (QWidget* w : root.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        QString text;
        int room = w->width();
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty() && !label->wordWrap()) {
            text = label->text();
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            text = box->text();
            room -= 20;  // the indicator
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            text = button->text();
            room -= 4;
        }
        if (!text.isEmpty() && w->fontMetrics().horizontalAdvance(QString(text).remove('&')) > room)
            clipped.push_back(w->objectName().toStdString() + ": " + text.toStdString());
    }
    return clipped;
}

class Form1Test : public testing::Test, public WindowFixture {
  protected:
    // Interactive start in French (the default language).
    TForm1& Interactive() {
        TForm1& window = Window();
        window.FormCreate();
        window.FormShow();
        window.AucunParametre();
        return window;
    }
};

TEST_F(Form1Test, EveryRunnerElementExistsUnderItsControlName) {
    TForm1& window = Window();
    for (const char* name :
         {"Lb3dRep",      "LbFileRep2Sav", "LbFileDest",   "Lb3dExplo",      "ComboPath",
          "VisuZippage",  "Image1",        "LbFileBgZipd", "Lb3dFinalInfos", "LbFileNbProcess",
          "ProgressBar1", "LabelInfo",     "ListBox1",     "LbError",        "ListBox2",
          "LbFileInUse",  "ListBox3",      "Image2",       "Image3",         "memolog",
          "P2",           "PostIt",        "CbEject",      "CbAutoClose",    "CbAutomation",
          "BtQuitter3D",  "CbPath",        "CbSubDir",     "CBExe",          "CBPassWord",
          "CbUpdateZip",  "CbQuitOS",      "EdMsgSfx",     "edTypeboiteInt", "MainMnu",
          "PopupMenu1",   "MnuPostIt"}) {
        EXPECT_NE(window.findChild<QObject*>(name), nullptr) << name;
    }
    auto* bar = Child<QProgressBar>(window, "ProgressBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 1001);
    // Menus hold their items; the pop-up menu's log sub-menu too.
    auto* log = Child<QMenu>(window, "LOG");
    QStringList names;
    for (QAction* a : log->actions()) names << a->objectName();
    EXPECT_EQ(names, (QStringList{"SaveLog", "DelLog", "ViewLog"}));
}

TEST_F(Form1Test, CreationSizesTranslatesAndShowsTheMainMenuOnlyWhenAsked) {
    std::filesystem::remove(ProgramFile("deutsch.lgn"));
    for (const bool menu : {false, true}) {
        Set("general", "mainmnu", menu ? "1" : "0");
        Restart();
        TForm1& w = Interactive();
        EXPECT_EQ(w.width(), TForm1::kWidth) << menu;
        EXPECT_EQ(w.height(), menu ? TForm1::kHeightWithMenu : TForm1::kHeight) << menu;
        EXPECT_EQ(Child<QWidget>(w, "MainMnu")->isVisible(), menu);
        EXPECT_TRUE(w.isVisible());
        // What the runner wrote before the window existed is shown too: the destination and its drive.
        EXPECT_EQ(Child<QComboBox>(w, "ComboPath")->currentText().toStdString(), model.DestinationBox().text);
        EXPECT_FALSE(model.DestinationBox().text.empty());
        EXPECT_FALSE(Child<QLabel>(w, "Lb3dExplo")->text().isEmpty());
    }
    // Only the languages whose file is installed can be chosen.
    EXPECT_TRUE(ItemOf(*window, "MnuFrench")->isEnabled());
    EXPECT_TRUE(ItemOf(*window, "MnuEnglish")->isEnabled());
    EXPECT_FALSE(ItemOf(*window, "MnuDeutsch")->isEnabled());
}

TEST_F(Form1Test, FrenchAndEnglishFilesApplyToTheWholeWindow) {
    TForm1& w = Interactive();
    EXPECT_EQ(w.windowTitle().toStdString(), w.Lg().MessageText("000020"));
    EXPECT_EQ(Child<QMenu>(w, "MQuery")->title(), QString::fromUtf8("&Requêtes"));
    EXPECT_EQ(Child<QLabel>(w, "Lb3dRep")->text(), "Source :");
    EXPECT_EQ(Child<QGroupBox>(w, "VisuZippage")->title(), "Progression");
    EXPECT_EQ(Child<QCheckBox>(w, "CbAutoClose")->text(), "Fermeture automatique");
    EXPECT_TRUE(Child<QWidget>(w, "BtQuitter3D")->toolTip().startsWith("Quitter"));
    EXPECT_EQ(Child<QLabel>(w, "LbFileRep2Sav")->toolTip().toStdString(), w.Lg().MessageText("000001"));

    ItemOf(w, "MnuEnglish")->trigger();
    EXPECT_EQ(Child<QMenu>(w, "MQuery")->title(), "&Queries");
    EXPECT_EQ(Child<QLabel>(w, "Lb3dRep")->text(), "Source:");
    EXPECT_EQ(Child<QGroupBox>(w, "VisuZippage")->title(), "Progress");
    EXPECT_EQ(profile::ReadString(Settings(), "general", "lang", ""), "English");
    EXPECT_TRUE(ItemOf(w, "MnuEnglish")->isChecked());
    EXPECT_FALSE(ItemOf(w, "MnuFrench")->isChecked());
    // The switch is confirmed with the language's notice.
    ASSERT_FALSE(dialogs.Asked().empty());
    EXPECT_EQ(dialogs.Asked().back().lines.back(), w.Lg().MessageText("999999"));
}

TEST_F(Form1Test, RefusedCommandsAreDisabledOrAnswerWithTheRefusalTooltip) {
    TForm1& w = Interactive();
    const QString refusal = QString::fromStdString(w.Lg().MessageText("022030"));
    ASSERT_NE(refusal, "022030");  // the French text, not its key
    w.SetWideWindow(true);
    for (const char* name : {"Label3Requete", "Lb3dFormat", "Bttn3DForDsk", "Lb3dExplo"}) {
        auto* control = Child<QWidget>(w, name);
        ASSERT_TRUE(control->isVisible()) << name;
        QTest::mouseClick(control, Qt::LeftButton);
        EXPECT_EQ(control->toolTip(), refusal) << name;
    }
    EXPECT_FALSE(ItemOf(w, "MNewQ")->isEnabled());
    EXPECT_FALSE(ItemOf(w, "MView")->isEnabled());
    EXPECT_TRUE(ItemOf(w, "MQuit")->isEnabled());
    EXPECT_TRUE(ItemOf(w, "MLong")->isEnabled());

    // The administrator's switch "o" closes the options menu and the display commands.
    Set("admini", "o", "0");
    w.ApplyCommandRights();
    EXPECT_FALSE(Child<QMenu>(w, "MOptions")->menuAction()->isEnabled());
    EXPECT_FALSE(ItemOf(w, "SeeZip")->isEnabled());
    EXPECT_TRUE(ItemOf(w, "MZipNb")->isEnabled());
}

TEST_F(Form1Test, CloseTimerCountsDownInTheCaptionAndRestartsOnAKeyPress) {
    Set("general", "timeoutsec", "3");
    TForm1& w = Interactive();
    auto* autoClose = Child<QCheckBox>(w, "CbAutoClose");
    EXPECT_FALSE(autoClose->isChecked());  // interactive: no countdown until the user asks for one
    EXPECT_FALSE(w.CloseTimerActive());
    autoClose->click();  // ticking the box starts the timer, as after a batch run
    ASSERT_TRUE(w.CloseTimerActive());
    const std::string countdown = w.Lg().MessageText("000029");

    w.CloseTimerTimer();
    w.CloseTimerTimer();
    EXPECT_EQ(w.windowTitle().toStdString(), countdown + "1 s");
    QTest::keyClick(Child<QWidget>(w, "PostIt"), Qt::Key_A);
    EXPECT_EQ(w.IdleSeconds(), 0);
    w.CloseTimerTimer();
    EXPECT_EQ(w.windowTitle().toStdString(), countdown + "2 s");
    // A mouse move restarts it too.
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Child<QWidget>(w, "ListBox3"), &move);
    EXPECT_EQ(w.IdleSeconds(), 0);
    w.CloseTimerTimer();
    w.CloseTimerTimer();
    EXPECT_EQ(ended, 0);
    w.CloseTimerTimer();
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(w.CloseTimerActive());
    EXPECT_FALSE(w.isVisible());

    // Unticking stops it: idle seconds go on being counted, but nothing quits.
    Restart();
    ended = 0;
    TForm1& again = Interactive();
    Child<QCheckBox>(again, "CbAutoClose")->setChecked(true);
    Child<QCheckBox>(again, "CbAutoClose")->click();
    EXPECT_FALSE(again.CloseTimerActive());
}

TEST_F(Form1Test, QuitSavesMemoCounterLogAndHistory) {
    TForm1& w = Interactive();
    Child<QPlainTextEdit>(w, "PostIt")->setPlainText("Appeler le notaire");
    Child<QComboBox>(w, "ComboPath")->setEditText("D:\\SAUVE\\");
    w.State().FilesArchivedTotal = 42;

    // The close box quits like the ESC button, so nothing typed is lost.
    w.close();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(test::ReadHostFile(ProgramFile("postit.txt")), "Appeler le notaire");
    const std::string log = test::ReadHostFile(ProgramFile("VPKLogrun.txt"));
    EXPECT_NE(log.find(w.Lg().MessageText("020022")), std::string::npos);  // start line
    EXPECT_NE(log.find(w.Lg().MessageText("020021")), std::string::npos);  // quit line
    EXPECT_EQ(profile::ReadString(Settings(), "HistoryNOParmDir", "last", ""), "D:\\SAUVE\\");

    // The next start reads the memo, the log and the counter back.
    Restart();
    TForm1& next = Interactive();
    EXPECT_EQ(Child<QPlainTextEdit>(next, "PostIt")->toPlainText(), "Appeler le notaire");
    EXPECT_EQ(next.State().FilesArchivedTotal, 42);
    EXPECT_GE(next.Model().LogLines().size(), 3u);
}

TEST_F(Form1Test, LongLogIsShortenedAtQuitAfterAskingOrRaisesTheLimit) {
    Set("general", "logline", "3");
    TForm1& w = Interactive();
    for (int i = 0; i < 3; ++i) w.Model().AddLogLine("line " + std::to_string(i));
    dialogs.QueueAnswer(2);  // keep it: the limit grows by 500
    w.BtQuitter3DClick();
    EXPECT_EQ(profile::ReadString(Settings(), "general", "logline", ""), "503");
    EXPECT_NE(test::ReadHostFile(ProgramFile("VPKLogrun.txt")).find("line 2"), std::string::npos);
}

TEST_F(Form1Test, AdministratorPasswordAtStartUnlocksTheCommands) {
    Set("admini", "passw", PasswordDigestText("s3cret"));
    Set("admini", "l", "0");
    for (const auto& [typed, unlocked] : {std::pair{"s3cret", true}, std::pair{"wrong", false}}) {
        Restart();
        TForm1& w = Window();
        w.FormCreate();
        EXPECT_FALSE(Child<QMenu>(w, "Mlog")->menuAction()->isEnabled());
        QTimer::singleShot(0, [text = QString(typed)] {
            QWidget* prompt = QApplication::activeModalWidget();
            ASSERT_NE(prompt, nullptr);
            EXPECT_EQ(prompt->objectName(), "PassAdmini");
            QTest::keyClicks(prompt->findChild<QWidget*>("MaskEdit1"), text);
            QTest::keyClick(prompt, Qt::Key_Return);
        });
        const std::size_t asked = dialogs.Asked().size();
        w.AucunParametre();
        EXPECT_EQ(w.Lock().Unlocked(), unlocked) << typed;
        EXPECT_EQ(Child<QMenu>(w, "Mlog")->menuAction()->isEnabled(), unlocked) << typed;
        EXPECT_EQ(dialogs.Asked().size(), asked + (unlocked ? 1 : 0)) << typed;
        if (unlocked) {
            EXPECT_EQ(dialogs.Asked().back().lines.back(), w.Lg().MessageText("022035"));
        }
    }
}

// The run display, driven through the window model as the runner drives it, with the screenshots a
// person looks at.
TEST_F(Form1Test, RunDisplayAndErrorReportWithScreenshots) {
    TForm1& w = Interactive();
    w.grab().save(test::ScreenshotDir() + "/main-idle-fr.png");
    EXPECT_EQ(LayoutFaults(w), std::vector<std::string>{});
    EXPECT_EQ(ClippedTexts(w), std::vector<std::string>{});

    MainWindowModel& m = w.Model();
    m.ShowPanel(PanelId::VisuZippage, true);
    m.ShowList(ListId::ListBox3, false);
    m.SetPicture(PictureId::Image1, {ProgramFolder() + "ZipRun.gif", 0, true, true});
    m.SetLabel(LabelId::LbFileRep2Sav, "C:\\DATA\\Comptes\\*.*");
    m.SetLabel(LabelId::LbFileDest, "A:\\0712Comptes.zip");
    m.SetLabel(LabelId::LabelInfo, w.Lg().MessageText("000075"));
    m.SetLabel(LabelId::LbFileBgZipd, "C:\\DATA\\Comptes\\2026\\Decembre\\releve-banque.pdf");
    m.SetLabel(LabelId::LbFileNbProcess, "3/10");
    m.ShowProgress(true);
    m.SetProgress(500);
    EXPECT_EQ(Child<QProgressBar>(w, "ProgressBar1")->value(), 500);
    EXPECT_EQ(Child<QLabel>(w, "LbFileNbProcess")->text(), "3/10");
    w.grab().save(test::ScreenshotDir() + "/main-run.png");
    EXPECT_EQ(LayoutFaults(w), std::vector<std::string>{});

    // Success: caption and final message, the window stays as it is.
    m.ShowProgress(false);
    m.SetLabel(LabelId::LbFileBgZipd, " ");
    m.SetPicture(PictureId::Image1, {ProgramFolder() + "ZipRun.gif", 0, false, true});
    m.SetCaption(w.Lg().MessageText("000027"));
    m.SetLabel(LabelId::LabelInfo, w.Lg().MessageText("000070"));
    m.SetLabel(LabelId::LbFileDest, "A:\\0712Comptes.zip  [ 1,2 Mo ]");
    m.SetLabel(LabelId::Lb3dFinalInfos, w.Lg().MessageText("000045"));
    w.grab().save(test::ScreenshotDir() + "/main-success.png");
    EXPECT_EQ(w.width(), TForm1::kWidth);

    // Error report: the right-hand panel gives way to the lists and the window widens to show them.
    m.AddLine(ListId::ListBox1, "10104 C:\\DATA\\Comptes\\verrou.xls : lecture impossible");
    m.AddLine(ListId::ListBox2, "C:\\DATA\\Comptes\\ouvert.doc");
    m.SetCaption(w.Lg().MessageText("000028"));
    m.SetPicture(PictureId::Image1, {ProgramFolder() + "ZipErr.gif", 0, true, true});
    m.ShowPanel(PanelId::P2, false);
    for (ListId id : {ListId::ListBox1, ListId::ListBox2}) m.ShowList(id, true);
    for (LabelId id : {LabelId::LbError, LabelId::LbFileInUse}) m.ShowLabel(id, true);
    m.SetLabel(LabelId::LbFileDest, w.Lg().MessageText("000003"));
    m.SetLabel(LabelId::Lb3dFinalInfos, w.Lg().MessageText("000044"));
    m.SetWindowSize(TForm1::kWidth, TForm1::kHeight);
    m.ShowWindow(true);
    w.State().CbAutoClose = false;
    auto* errors = Child<QListWidget>(w, "ListBox1");
    EXPECT_EQ(w.width(), errors->x() + errors->width() + 10);
    EXPECT_EQ(errors->count(), 1);
    EXPECT_TRUE(errors->isVisible());
    EXPECT_FALSE(Child<QWidget>(w, "P2")->isVisible());
    w.grab().save(test::ScreenshotDir() + "/main-error.png");
    EXPECT_EQ(LayoutFaults(w), std::vector<std::string>{});
    // The window stays open: the timer ticks past the time-out without quitting.
    w.StartCloseTimer();
    for (int i = 0; i < 30; ++i) w.CloseTimerTimer();
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(w.isVisible());
    // A click on an error line shows it whole.
    dialogs.QueueAnswer(1);
    QTest::mouseClick(errors->viewport(), Qt::LeftButton, {},
                      errors->visualItemRect(errors->item(0)).center());
    EXPECT_EQ(dialogs.Asked().back().lines.back(), errors->item(0)->text().toStdString());
}

TEST_F(Form1Test, WideWindowShowsTheRightHandPanelAndF9Switches) {
    TForm1& w = Interactive();
    auto* p2 = Child<QWidget>(w, "P2");
    EXPECT_EQ(w.width(), p2->x() + 5);
    QTest::keyClick(&w, Qt::Key_F9);
    EXPECT_EQ(w.width(), p2->x() + p2->width() + 10);
    EXPECT_TRUE(p2->isVisible());
    w.grab().save(test::ScreenshotDir() + "/main-wide-fr.png");
    EXPECT_EQ(LayoutFaults(w), std::vector<std::string>{});
    EXPECT_EQ(ClippedTexts(w), std::vector<std::string>{});
    QTest::keyClick(&w, Qt::Key_F9);
    EXPECT_EQ(w.width(), p2->x() + 5);
}

}  // namespace
}  // namespace vpk

namespace vpk {
namespace {

TEST_F(Form1Test, SplitterSharesTheDestinationBarAndIsKept) {
    TForm1& w = Interactive();
    auto* split = Child<QWidget>(w, "SplitIt");
    auto* label = Child<QLabel>(w, "Lb3dExplo");
    auto* box = Child<QWidget>(w, "ComboPath");
    const int labelWidth = label->width();
    const int boxLeft = box->x();
    QMouseEvent drag(QEvent::MouseMove, QPointF(40, 5), split->mapToGlobal(QPointF(40, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(split, &drag);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(40, 5), split->mapToGlobal(QPointF(40, 5)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(split, &release);
    EXPECT_EQ(label->width(), labelWidth + 40);
    EXPECT_EQ(box->x(), boxLeft + 40);
    EXPECT_EQ(label->width() + box->width() + 50, Child<QWidget>(w, "PnDest")->width());
    EXPECT_EQ(profile::ReadString(Settings(), "general", "split", ""), std::to_string(197 + 40));
    // The next start puts it back there.
    Restart();
    EXPECT_EQ(Child<QLabel>(Interactive(), "Lb3dExplo")->width(), labelWidth + 40);
}

}  // namespace
}  // namespace vpk
