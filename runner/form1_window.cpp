#include "runner/form1_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "lang/language_choice.h"
#include "lang/language_keys.h"
#include "model/global_settings.h"
#include "model/path_routines.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/program_paths.h"
#include "platform/registry_store.h"
#include "platform/text_codec.h"
#include "store/pass_admini_window.h"
#include "ui/activity_watch.h"
#include "ui/command_gate.h"
#include "ui/elided_label.h"
#include "ui/gui_session.h"
#include "ui/history_combo.h"

namespace vpk {

namespace {

constexpr int kMenuBarHeight = TForm1::kHeightWithMenu - TForm1::kHeight;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The scheduler shows itself by its window title on Windows; here it is a running process of its name.
bool SchedulerRunning() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
        std::ifstream comm(entry.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && SameText(name, "vpk_run")) return true;
    }
    return false;
}

// During the interactive start the runner's only typed question is the administrator password: the
// main window asks it in its own prompt, every other question goes to the dialogs in place.
class PassAdminiDialogs : public Dialogs {
  public:
    explicit PassAdminiDialogs(QWidget* parent) : parent_(parent), previous_(Dialogs::Current()) {
        Dialogs::Install(this);
    }
    ~PassAdminiDialogs() override { Dialogs::Install(&previous_); }
    int Ask(const DialogRequest& request) override { return previous_.Ask(request); }
    bool AskText(const std::string&, const std::string& prompt, bool, std::string& text) override {
        text = AskPassAdmini(QString::fromStdString(prompt), parent_).toStdString();
        return true;
    }

  private:
    QWidget* parent_;
    Dialogs& previous_;
};

}  // namespace

TForm1::TForm1(Runner& runner, MainWindowModel& model, RunState& state, QWidget* parent)
    : QWidget(parent), runner_(runner), model_(model), state_(state) {
    setObjectName("Form1");
    setWindowTitle("Form1");
    // Eleven-pixel text fits the 13 to 16 pixel lines of the window on every screen.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    Lg().SetApplication(&tree_);
    Lg().Properties() = language_keys::PropertyList(language_keys::BackupTranslations());

    BuildMenus();
    BuildControls();
    mainMnu_->hide();
    gate_ = new ui::CommandGate(this);
    activity_ = new ui::ActivityWatch(this, [this] { ResetTimeOut(); });
    closeTimer_ = new QTimer(this);
    closeTimer_->setInterval(1000);
    connect(closeTimer_, &QTimer::timeout, this, &TForm1::CloseTimerTimer);
    EndApplication = [] { QApplication::exit(0); };
    Wire();
    splitIt_->installEventFilter(this);
    model_.AddListener(this);
    resize(kWidth, kHeight);
    ShowModel();
}

void TForm1::ShowModel() {
    // The runner may have written before the window existed (its start comes first).
    for (int i = 0; i < LabelCount; ++i)
        OnLabel(static_cast<LabelId>(i), model_.Label(static_cast<LabelId>(i)));
    for (int i = 0; i < ListCount; ++i)
        OnList(static_cast<ListId>(i), ListEdit::Replaced, model_.List(static_cast<ListId>(i)));
    OnProgress(model_.Progress());
    for (int i = 0; i < PictureCount; ++i)
        OnPicture(static_cast<PictureId>(i), model_.Picture(static_cast<PictureId>(i)));
    for (int i = 0; i < PanelCount; ++i)
        OnPanel(static_cast<PanelId>(i), model_.Panel(static_cast<PanelId>(i)));
    OnDestinationBox(model_.DestinationBox());
    OnLog(ListEdit::Replaced, model_.LogLines());
    OnWindow(model_.Window());
}

TForm1::~TForm1() {
    model_.RemoveListener(this);
}

QString TForm1::Msg(std::string_view key) const {
    return Q(Lg().MessageText(key));
}
QString TForm1::Btn(std::string_view key) const {
    return Q(Lg().ButtonText(key));
}
void TForm1::Wire() {
    connect(btQuitter3D_, &QPushButton::clicked, this, &TForm1::BtQuitter3DClick);
    connect(items_["MQuit"], &QAction::triggered, this, &TForm1::BtQuitter3DClick);
    connect(cbAutoClose_, &QCheckBox::clicked, this, &TForm1::CbAutoCloseClick);
    connect(cbEject_, &QCheckBox::toggled, this, [this](bool on) { state_.CbEject = on; });
    for (const LanguageEntry& entry : LanguageEntries()) {
        const std::string name(entry.name);
        connect(items_[std::string(entry.menuItem)], &QAction::triggered, this,
                [this, name] { ChooseLanguage(name); });
    }
    connect(listBox1_, &QListWidget::itemClicked, this, &TForm1::ListBox1Click);
    connect(listBox2_, &QListWidget::itemClicked, this, &TForm1::ListBox2Click);
    connect(comboPath_, &QComboBox::editTextChanged, this, &TForm1::ComboPathChange);
    connect(comboPath_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (runner_.Admin().Allows('n')) runner_.CreerRepertoire();
    });

    // Pop-up menu: right click anywhere, or the small button at the cursor.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenu1_->popup(mapToGlobal(at)); });
    connect(bttn3dPopMnu_, &QPushButton::clicked, this, [this] { popupMenu1_->popup(QCursor::pos()); });
    postIt_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(postIt_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { mnuPostIt_->popup(postIt_->mapToGlobal(at)); });

    // Display commands of this window: toggles of a setting, applied at once.
    const GlobalSettings settings(SettingsFile());
    auto toggle = [this](const char* item, const char* twin, auto apply) {
        for (const char* name : {item, twin}) {
            if (!name) continue;
            connect(items_[name], &QAction::triggered, this, [this, item, twin, apply](bool on) {
                for (const char* other : {item, twin})
                    if (other) items_[other]->setChecked(on);
                apply(on);
            });
        }
    };
    toggle("MLong", nullptr, [this](bool on) {
        GlobalSettings(SettingsFile()).Write(settings::general::kLong, on);
        SetWideWindow(on);
    });
    toggle("MShowPostIt", nullptr, [this](bool on) {
        GlobalSettings(SettingsFile()).Write(settings::general::kShowPostIt, on);
        plNotice_->setVisible(on);
        image3_->setVisible(!on);
    });
    toggle("MSeeZip", "SeeZip", [this](bool on) {
        GlobalSettings(SettingsFile()).Write(settings::general::kVoirZip, on);
        SetProgressView(on);
    });
    toggle("MSaveInLog", "SaveLog",
           [this](bool on) { GlobalSettings(SettingsFile()).Write(settings::general::kLog, on); });
    toggle("Mgif", "Gif",
           [this](bool on) { GlobalSettings(SettingsFile()).Write(settings::general::kGif, on); });
    toggle("ShowMainMnu", nullptr,
           [this](bool on) { GlobalSettings(SettingsFile()).Write(settings::general::kMainMnu, on); });
    toggle("PreadOnly", nullptr, [this](bool on) {
        GlobalSettings(SettingsFile()).Write(settings::general::kPostReadOnly, on);
        postIt_->setReadOnly(on);
    });
    toggle("Pwarp", nullptr, [this](bool on) {
        GlobalSettings(SettingsFile()).Write(settings::general::kPostWarp, on);
        postIt_->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    });
    toggle("Pscroll", nullptr, [this](bool on) {
        GlobalSettings(SettingsFile()).Write(settings::general::kShowScroll, on);
        postIt_->setVerticalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    });
    for (const char* name : {"MDatePostIt1", "Pdate"}) {
        connect(items_[name], &QAction::triggered, this,
                [this] { postIt_->appendPlainText(Q(runner_.DateTimeText() + " :")); });
    }
    connect(items_["MZipNb"], &QAction::triggered, this, [this] {
        Dialogs::Current().Ask(
            {Btn("sInformation").toStdString(),
             "!",
             {(Msg("020930") + " " + QString::number(state_.FilesArchivedTotal)).toStdString()},
             {Btn("sOk").toStdString()}});
    });
}

// Which commands this window runs, and the administrator switch that may forbid each one.
void TForm1::ApplyCommandRights() {
    gate_->SetRefusalText(Msg("022030"));
    struct Right {
        const char* item;
        char key;  // 0: no switch
    };
    static constexpr Right kWired[] = {
        {"MQuit", 0},         {"MSaveInLog", 'l'},  {"SaveLog", 'l'},   {"MLong", 'o'},
        {"MShowPostIt", 'o'}, {"MSeeZip", 'o'},     {"SeeZip", 'o'},    {"Mgif", 'o'},
        {"Gif", 'o'},         {"ShowMainMnu", 'o'}, {"PreadOnly", 'o'}, {"Pwarp", 'o'},
        {"Pscroll", 'o'},     {"MDatePostIt1", 0},  {"Pdate", 0},       {"MZipNb", 0},
    };
    for (auto& [name, item] : items_) {
        bool allowed = false;
        for (const Right& right : kWired) {
            if (name == right.item) allowed = right.key == 0 || runner_.Admin().Allows(right.key);
        }
        gate_->SetAllowed(item, allowed);
    }
    // A language can be chosen only when its file is installed.
    for (const LanguageEntry& entry : LanguageEntries()) {
        items_[std::string(entry.menuItem)]->setEnabled(
            LanguageFileExists(runner_.Paths().programFolder, entry.name));
    }
    // Whole menus of a switch.
    for (const auto& [menuName, key] :
         {std::pair{"MOptions", 'o'}, std::pair{"Mlog", 'l'}, std::pair{"LOG", 'l'}}) {
        if (auto* menu = findChild<QMenu*>(menuName))
            menu->menuAction()->setEnabled(runner_.Admin().Allows(key));
    }
    // Buttons and labels of commands that another part of the program offers.
    for (auto& [name, control] : gated_) gate_->SetAllowed(control, false);
    cbAutomation_->setEnabled(false);
}

void TForm1::FormCreate() {
    const GlobalSettings settings(SettingsFile());
    // Size, caption, run log and destination history were set by the runner's start; the language
    // items follow the installed files (ApplyCommandRights, below) and the translation needs the
    // window's controls.
    Lg().Translate();
    const std::string language = SavedLanguageName(SettingsFile());
    for (const LanguageEntry& entry : LanguageEntries()) {
        items_[std::string(entry.menuItem)]->setChecked(SameText(entry.name, language));
    }
    model_.SetCaption(Lg().MessageText("000020"));
    // 6. Main menu.
    const bool menuShown = settings.Read(settings::general::kMainMnu);
    mainMnu_->setVisible(menuShown);
    client_->move(0, menuShown ? kMenuBarHeight : 0);
    model_.SetWindowSize(kWidth, menuShown ? kHeightWithMenu : kHeight);
    // 7. Tooltips stay five seconds.
    for (QWidget* child : findChildren<QWidget*>()) child->setToolTipDuration(5000);

    // Display settings of the memo, the panels and the progress view.
    const bool showMemo = settings.Read(settings::general::kShowPostIt);
    plNotice_->setVisible(showMemo);
    image3_->setVisible(!showMemo);
    items_["MShowPostIt"]->setChecked(showMemo);
    const bool wrap = settings.Read(settings::general::kPostWarp);
    postIt_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    items_["Pwarp"]->setChecked(wrap);
    const bool readOnly = settings.Read(settings::general::kPostReadOnly);
    postIt_->setReadOnly(readOnly);
    items_["PreadOnly"]->setChecked(readOnly);
    items_["Pscroll"]->setChecked(settings.Read(settings::general::kShowScroll));
    for (const auto& [panel, setting] : {std::pair{"PlRequete", settings::general::kShowBtnQ},
                                         std::pair{"PlArchives", settings::general::kShowBtnH},
                                         std::pair{"PnFormat", settings::general::kShowBtnF}}) {
        if (auto* w = findChild<QWidget*>(panel)) w->setVisible(settings.Read(setting));
    }
    items_["MBtQ"]->setChecked(settings.Read(settings::general::kShowBtnQ));
    items_["MBtH"]->setChecked(settings.Read(settings::general::kShowBtnH));
    items_["MBtF"]->setChecked(settings.Read(settings::general::kShowBtnF));
    for (const char* name : {"MSaveInLog", "SaveLog"})
        items_[name]->setChecked(settings.Read(settings::general::kLog));
    for (const char* name : {"Mgif", "Gif"}) items_[name]->setChecked(settings.Read(settings::general::kGif));
    for (const char* name : {"MSeeZip", "SeeZip"})
        items_[name]->setChecked(settings.Read(settings::general::kVoirZip));
    items_["MLong"]->setChecked(settings.Read(settings::general::kLong));
    items_["ShowMainMnu"]->setChecked(menuShown);
    ApplySplit(settings.Read(settings::general::kSplit));

    ApplyCommandRights();
    ShowRunState();
}

void TForm1::FormShow() {
    if (state_.IconIndex == "9999") state_.IconIndex = state_.CBExe ? "1" : "0";
    PictureElement icon = model_.Picture(PictureId::Image2);
    icon.file = state_.IconFile;
    icon.index = std::atoi(state_.IconIndex.c_str());
    model_.SetPicture(PictureId::Image2, icon);
}

void TForm1::AucunParametre() {
    // Steps 1 to 5 (settings, start line, administrator check, lists and labels, the window shown)
    // are the runner's; the window adds the width, the memo, the automation box and the caret.
    StopCloseTimer();
    {
        PassAdminiDialogs prompt(this);
        runner_.AucunParametre();
    }
    ShowMemo();
    ApplyCommandRights();
    // The timer is off until the user ticks the box, so the box starts unticked.
    state_.CbAutoClose = false;
    ShowRunState();
    SetWideWindow(GlobalSettings(SettingsFile()).Read(settings::general::kLong));
    // 6. The automation box tells whether the scheduler runs.
    cbAutomation_->setChecked(SchedulerRunning());
    // 7. Keyboard: the memo, else the destination box.
    if (plNotice_->isVisible()) {
        postIt_->setFocus();
        postIt_->moveCursor(QTextCursor::End);
        if (!postIt_->isReadOnly())
            postIt_->verticalScrollBar()->setValue(postIt_->verticalScrollBar()->maximum());
    } else {
        const QString text = comboPath_->currentText();
        comboPath_->setFocus();
        comboPath_->SetCaret(text.size() > 3 || !text.contains(":\\") ? 1 : static_cast<int>(text.size()));
    }
}

void TForm1::ShowMemo() {
    postIt_->setPlainText(Q(DecodeFileText(runner_.Memo())));
    memoShown_ = true;
}

void TForm1::HandOverMemo() {
    // Only a memo the window showed replaces the one the runner loaded.
    if (memoShown_) runner_.SetMemo(postIt_->toPlainText().toStdString());
}

void TForm1::ShowRunState() {
    const std::pair<const char*, bool> boxes[] = {
        {"CbPath", state_.CbPath},
        {"CbSubDir", state_.CbSubDir},
        {"CBExe", state_.CBExe},
        {"CBPassWord", state_.CBPassWord},
        {"CbUpdateZip", state_.CbUpdateZip},
        {"CBDatePrefix", state_.CBDatePrefix},
        {"JJMM", state_.JJMM},
        {"CbQuitOS", state_.CbQuitOS},
        {"CbAutoRun", state_.CbAutoRun},
        {"CbAskFiles", state_.CbAskFiles},
        {"CbSFXMsg", state_.CbSFXMsg},
        {"CbSuccesMsg", state_.CbSuccesMsg},
    };
    for (const auto& [name, on] : boxes) hiddenBoxes_[name]->setChecked(on);
    edMsgSfx_->setText(Q(state_.EdMsgSfx));
    edTypeboiteInt_->setText(QString::number(state_.edTypeboiteInt));
    const QSignalBlocker quietEject(cbEject_);
    cbEject_->setChecked(state_.CbEject);
    cbAutoClose_->setChecked(state_.CbAutoClose);
}

// ---- window ----

void TForm1::SetWideWindow(bool wide) {
    model_.SetWindowSize(wide ? p2_->x() + p2_->width() + 10 : p2_->x() + 5, model_.Window().height);
}

bool TForm1::WideWindow() const {
    return width() > p2_->x() + 5;
}

void TForm1::SetProgressView(bool progress) {
    model_.ShowPanel(PanelId::VisuZippage, progress);
    model_.ShowList(ListId::ListBox3, !progress);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // Dragging the splitter of the destination bar shares its width between the free-space label and
    // the destination box; the place is kept in "split".
    if (watched == splitIt_) {
        if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->buttons() & Qt::LeftButton) {
                const int x = splitIt_->mapTo(destinationBar_, mouse->position().toPoint()).x();
                ApplySplit(std::clamp(x + 18, 80, destinationBar_->width() - 80));
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            try {
                GlobalSettings(SettingsFile()).Write(settings::general::kSplit, split_);
            } catch (const std::exception& error) {
                std::fprintf(stderr, "vortipak: %s\n", error.what());
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::ApplySplit(int position) {
    split_ = position;
    const int labelWidth = std::max(20, position - 20);
    lb3dExplo_->resize(labelWidth, lb3dExplo_->height());
    const int boxLeft = position + 20;
    comboPath_->setGeometry(boxLeft, 0, std::max(40, destinationBar_->width() - labelWidth - 50),
                            comboPath_->height());
    bttn3DDelComboPath_->move(boxLeft - 15, bttn3DDelComboPath_->y());
    splitIt_->move(labelWidth + 2, 0);
}

void TForm1::ComboPathChange() {
    // The runner keeps the destination and the free-space label; the model echo must not recurse.
    const std::string text = comboPath_->currentText().toStdString();
    if (text != model_.DestinationBox().text) {
        DestinationBoxElement box = model_.DestinationBox();
        box.text = text;
        box.caret = static_cast<std::size_t>(comboPath_->Caret());
        model_.SetDestinationBox(box);
    }
    runner_.ComboPathChange(text);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        BtQuitter3DClick();
        return;
    }
    if (event->key() == Qt::Key_F9) {
        SetWideWindow(!WideWindow());
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    // The close box quits like the ESC button: memo, counter, log and history are saved, and a
    // running engine is only asked to stop.
    event->ignore();
    BtQuitter3DClick();
}

void TForm1::ChooseLanguage(std::string_view name) {
    try {
        SwitchLanguage(Lg(), name, SettingsFile(), runner_.Paths().programFolder, RegistryStore::Instance());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vortipak: %s\n", error.what());
    }
    for (const LanguageEntry& entry : LanguageEntries()) {
        items_[std::string(entry.menuItem)]->setChecked(entry.name == name);
    }
    if (!closeTimer_->isActive()) model_.SetCaption(Lg().MessageText("000020"));
    ApplyCommandRights();
    Dialogs::Current().Ask(
        {Lg().ButtonText("sInformation"), "!", {Lg().MessageText("999999")}, {Lg().ButtonText("sOk")}});
}

void TForm1::ListBox1Click() {
    runner_.ListBox1Click(listBox1_->currentRow());
}

void TForm1::ListBox2Click() {
    runner_.ListBox2Click(listBox2_->currentRow());
}

// ---- close timer and quitting ----

void TForm1::StartCloseTimer() {
    runner_.StartCloseTimer();
    closeTimer_->start();
}

void TForm1::StopCloseTimer() {
    state_.CloseTimerOn = false;
    closeTimer_->stop();
}

bool TForm1::CloseTimerActive() const {
    return closeTimer_->isActive();
}

void TForm1::ResetTimeOut() {
    runner_.ResetTimeOut();
}

void TForm1::CloseTimerTimer() {
    HandOverMemo();
    const bool quitted = runner_.CloseTimerTimer();
    if (!state_.CloseTimerOn) closeTimer_->stop();
    if (quitted) End();
}

void TForm1::CbAutoCloseClick() {
    state_.CbAutoClose = cbAutoClose_->isChecked();
    if (state_.CbAutoClose)
        StartCloseTimer();
    else
        StopCloseTimer();
}

void TForm1::BtQuitter3DClick() {
    if (ended_) return;
    HandOverMemo();
    if (runner_.BtQuitter3DClick()) End();
}

void TForm1::End() {
    ended_ = true;
    closeTimer_->stop();
    if (EndApplication) EndApplication();
}

}  // namespace vpk

namespace vpk {

namespace {

bool IsBatch(RunMode mode) {
    return mode == RunMode::AllQueries || mode == RunMode::NumberedQuery || mode == RunMode::QueryFile;
}

// Tooltips come after a second over a control, and after a second again when moving to the next one.
class HintTimingStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay || hint == SH_ToolTip_FallAsleepDelay) return 1000;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

int RunVortipakWindow(int argc, char** argv) {
    ui::GuiSession session(argc, argv);
    QApplication::setStyle(new HintTimingStyle);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const RunMode mode = ClassifyFirstArgument(!args.empty(), args.empty() ? std::string() : args.front());
    if (mode != RunMode::Interactive && !IsBatch(mode)) {
        std::fprintf(stderr, "vortipak: %s is not available in this build\n", RunModeName(mode));
        return 2;
    }
    // "/min" is how a shortcut or the scheduler asks for a minimized start: the window stays hidden.
    const bool minimized = args.size() > 1 && SameText(args[1], "/min");

    MainWindowModel model;
    RunState state;
    Runner runner(model, state);
    runner.Start(args, minimized ? SwShowMinNoActive : SwShowNormal);
    TForm1 window(runner, model, state);
    window.FormCreate();
    window.FormShow();
    if (mode == RunMode::Interactive) {
        window.AucunParametre();
    } else {
        runner.Dispatch();
        window.ShowMemo();
        window.ShowRunState();
        if (state.CloseTimerOn) window.StartCloseTimer();
    }
    // A quit that happened during the run (the close timer at 0 seconds) needs no message loop.
    if (!runner.Quitted()) session.Application().exec();
    return mode == RunMode::Interactive || runner.Succeeded() ? 0 : 1;
}

}  // namespace vpk
