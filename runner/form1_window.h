#pragma once
// TForm1: the backup program's main window over the Runner. It shows the runner's main window model
// (every element under its control name), holds the run state's options as hidden controls, and
// forwards the user's actions to the runner. Its own steps are FormCreate (the part the runner cannot
// do without widgets), FormShow, the interactive mode AucunParametre and the close timer's ticks.
//
// Client area 400×215 (235 with the main menu): the source and destination lines, the destination bar,
// the information line, the progress group or the information list, the end-of-run boxes and the quit
// button; right of it the right-hand panel P2 (memo, logo, button panels), shown in the wide window,
// and the error and in-use lists that the error report shows instead of P2 in a wider window.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "lang/language.h"
#include "runner/main_window_listener.h"
#include "runner/main_window_model.h"
#include "runner/run_state.h"
#include "runner/runner.h"
#include "store/admin_lock.h"
#include "ui/qt_component_tree.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QMovie;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace vpk {

namespace ui {
class ActivityWatch;
class CommandGate;
class ElidedLabel;
class HistoryCombo;
class PathLabel;
class ZipProgressBar;
}  // namespace ui

class TForm1 : public QWidget, public MainWindowListener {
    Q_OBJECT
  public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 215;
    static constexpr int kHeightWithMenu = 235;

    // The runner, its model and the run state belong to the caller and outlive the window.
    TForm1(Runner& runner, MainWindowModel& model, RunState& state, QWidget* parent = nullptr);
    ~TForm1() override;

    // The window's part of its creation, after Runner::Start: language items, translation, main
    // menu, tooltip timing, display settings, command rights. The caller dispatches afterwards.
    void FormCreate();
    // The self-extractor icon rule: IconIndex "9999" becomes "1" with CBExe on, else "0".
    void FormShow();
    // Interactive mode: start line, administrator check, lists and labels, the window shown.
    void AucunParametre();
    // Shows the memo the runner loaded with the global settings (after a dispatch or AucunParametre).
    void ShowMemo();

    // Close timer: one tick a second once a batch run ended or the auto-close box was ticked.
    void StartCloseTimer();
    void StopCloseTimer();
    bool CloseTimerActive() const;
    void CloseTimerTimer();  // one tick
    void ResetTimeOut();     // every key press and mouse move over the window
    int IdleSeconds() const { return state_.IdleSeconds; }

    // The ESC button, the Esc key, the quit menu, the close box and the close timer. While the engine
    // works the runner only offers to stop it ("020910").
    void BtQuitter3DClick();

    // Ends the application once the quit sequence ran (QApplication::exit(0) by default).
    std::function<void()> EndApplication;

    TLanguage& Lg() const { return runner_.Language(); }
    Runner& Backup() { return runner_; }
    MainWindowModel& Model() { return model_; }
    RunState& State() { return state_; }
    AdminLock& Lock() { return runner_.Admin(); }

    // Shows every element of the model as it is now.
    void ShowModel();
    // Puts the run state's options into their hidden controls (after a query was loaded).
    void ShowRunState();
    // Applies the administrator switches and what this build offers to every command.
    void ApplyCommandRights();

    // MainWindowListener: the runner's writes, mirrored into the controls.
    void OnLabel(LabelId id, const LabelElement& label) override;
    void OnList(ListId id, ListEdit edit, const ListElement& list) override;
    void OnProgress(const ProgressElement& progress) override;
    void OnPicture(PictureId id, const PictureElement& picture) override;
    void OnPanel(PanelId id, const PanelElement& panel) override;
    void OnDestinationBox(const DestinationBoxElement& box) override;
    void OnWindow(const WindowElement& window) override;
    void OnLog(ListEdit edit, const std::vector<std::string>& lines) override;

    // Full width (right-hand panel shown) or narrow, as "long" and F9 choose.
    void SetWideWindow(bool wide);
    bool WideWindow() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildMenus();
    void BuildRightPanel();
    void BuildHiddenControls();
    QAction* Item(QMenu* menu, const char* name, const char* caption, bool checkable = false);
    void Wire();

    QString Msg(std::string_view key) const;
    QString Btn(std::string_view key) const;
    void ComboPathChange();
    void ChooseLanguage(std::string_view name);
    void ListBox1Click();
    void ListBox2Click();
    void CbAutoCloseClick();
    void ShowPicture(QLabel* image, const PictureElement& picture);
    void SetProgressView(bool progress);
    void ApplySplit(int position);
    int split_ = 197;

    std::string SettingsFile() const { return runner_.Paths().settingsFile; }
    void HandOverMemo();
    void End();

    Runner& runner_;
    MainWindowModel& model_;
    RunState& state_;
    bool memoShown_ = false;
    bool ended_ = false;
    ui::QtComponentTree tree_;
    ui::CommandGate* gate_ = nullptr;
    ui::ActivityWatch* activity_ = nullptr;
    QTimer* closeTimer_ = nullptr;

    QMenuBar* mainMnu_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    QMenu* mnuPostIt_ = nullptr;
    QWidget* client_ = nullptr;
    std::map<std::string, QAction*> items_;  // menu items by control name

    QLabel* lb3dRep_ = nullptr;
    ui::PathLabel* lbFileRep2Sav_ = nullptr;
    QLabel* lb3dDest_ = nullptr;
    ui::PathLabel* lbFileDest_ = nullptr;
    QWidget* destinationBar_ = nullptr;
    ui::ElidedLabel* lb3dExplo_ = nullptr;
    QWidget* splitIt_ = nullptr;
    ui::HistoryCombo* comboPath_ = nullptr;
    QPushButton* bttn3DDelComboPath_ = nullptr;
    QLabel* labelInfo_ = nullptr;
    QGroupBox* visuZippage_ = nullptr;
    QLabel* image1_ = nullptr;
    QMovie* movie1_ = nullptr;
    ui::PathLabel* lbFileBgZipd_ = nullptr;
    QLabel* lb3dFinalInfos_ = nullptr;
    QLabel* lbFileNbProcess_ = nullptr;
    ui::ZipProgressBar* progressBar1_ = nullptr;
    QListWidget* listBox3_ = nullptr;
    QLabel* lbError_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    QLabel* lbFileInUse_ = nullptr;
    QListWidget* listBox2_ = nullptr;
    QCheckBox* cbEject_ = nullptr;
    QCheckBox* cbAutoClose_ = nullptr;
    QCheckBox* cbAutomation_ = nullptr;
    QPushButton* btQuitter3D_ = nullptr;
    QPushButton* bttn3dAbout_ = nullptr;
    QPushButton* bttn3dPopMnu_ = nullptr;
    QLabel* image2_ = nullptr;
    QPlainTextEdit* memolog_ = nullptr;

    QWidget* p2_ = nullptr;
    QWidget* plNotice_ = nullptr;
    QPlainTextEdit* postIt_ = nullptr;
    QLabel* image3_ = nullptr;
    std::map<std::string, QWidget*> gated_;  // buttons and labels of commands, by control name
    std::map<std::string, QCheckBox*> hiddenBoxes_;
    QLineEdit* edMsgSfx_ = nullptr;
    QLineEdit* edTypeboiteInt_ = nullptr;
};

// The program with a display: the main window over the runner, the message loop, the exit status.
// main() calls it when a window can be shown, after loading the drive table.
int RunVortipakWindow(int argc, char** argv);

}  // namespace vpk
