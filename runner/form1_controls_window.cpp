// The controls and menus of TForm1, at their design-time places and with their placeholder captions
// (the language file gives the words).
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "runner/form1_window.h"
#include "ui/elided_label.h"
#include "ui/history_combo.h"
#include "ui/path_label.h"
#include "ui/zip_progress_bar.h"

namespace vpk {

namespace {

// The right-hand panel starts where the narrow window ends; the error lists take its place.
constexpr int kP2Left = 395;
constexpr int kP2Width = 248;
// The narrow window shows the panel's first pixels: its controls start after them.
constexpr int kP2Inset = 8;
constexpr int kErrorListWidth = 300;

template <typename W>
W* Make(QWidget* parent, const char* name, QRect geometry) {
    auto* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, QRect geometry, const QString& caption) {
    auto* label = Make<QLabel>(parent, name, geometry);
    label->setText(caption);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, QRect geometry, const QString& caption) {
    auto* button = Make<QPushButton>(parent, name, geometry);
    button->setText(caption);
    button->setFocusPolicy(Qt::NoFocus);  // Esc and the memo keep the keyboard
    return button;
}

QCheckBox* MakeBox(QWidget* parent, const char* name, QRect geometry, const QString& caption) {
    auto* box = Make<QCheckBox>(parent, name, geometry);
    box->setText(caption);
    return box;
}

}  // namespace

QAction* TForm1::Item(QMenu* menu, const char* name, const char* caption, bool checkable) {
    auto* item = new QAction(caption, menu);
    item->setObjectName(name);
    item->setCheckable(checkable);
    menu->addAction(item);
    // The pop-up menu holds twins of main-menu items under other names; each name is kept once.
    items_.emplace(name, item);
    return item;
}

void TForm1::BuildControls() {
    client_ =
        Make<QWidget>(this, "PnClient", QRect(0, 0, kP2Left + kP2Inset + kErrorListWidth + 10, kHeight));

    lb3dRep_ = MakeLabel(client_, "Lb3dRep", {8, 6, 78, 14}, "Source:");
    lbFileRep2Sav_ = Make<ui::PathLabel>(client_, "LbFileRep2Sav", {88, 6, 300, 14});
    lb3dDest_ = MakeLabel(client_, "Lb3dDest", {8, 24, 78, 14}, "Destination:");
    lbFileDest_ = Make<ui::PathLabel>(client_, "LbFileDest", {88, 24, 300, 14});

    // The destination bar: free-space label, splitter, "-" button and destination box (see ApplySplit).
    destinationBar_ = Make<QWidget>(client_, "PnDest", {8, 42, 380, 22});
    lb3dExplo_ = Make<ui::ElidedLabel>(destinationBar_, "Lb3dExplo", {0, 3, 177, 16});
    lb3dExplo_->setFrameShape(QFrame::Panel);
    lb3dExplo_->setFrameShadow(QFrame::Sunken);
    lb3dExplo_->setCursor(Qt::PointingHandCursor);
    splitIt_ = Make<QWidget>(destinationBar_, "SplitIt", {181, 0, 4, 22});
    splitIt_->setCursor(Qt::SplitHCursor);
    bttn3DDelComboPath_ = MakeButton(destinationBar_, "Bttn3DDelComboPath", {202, 3, 13, 16}, "-");
    comboPath_ = Make<ui::HistoryCombo>(destinationBar_, "ComboPath", {217, 0, 163, 22});

    labelInfo_ = MakeLabel(client_, "LabelInfo", {8, 68, 380, 14}, "");

    visuZippage_ = Make<QGroupBox>(client_, "VisuZippage", {8, 84, 380, 76});
    visuZippage_->setTitle("Progress");
    image1_ = Make<QLabel>(visuZippage_, "Image1", {10, 22, 32, 32});
    image1_->setScaledContents(true);
    lbFileBgZipd_ = Make<ui::PathLabel>(visuZippage_, "LbFileBgZipd", {50, 16, 320, 14});
    lb3dFinalInfos_ = MakeLabel(visuZippage_, "Lb3dFinalInfos", {50, 30, 320, 14}, "");
    lbFileNbProcess_ = MakeLabel(visuZippage_, "LbFileNbProcess", {50, 44, 320, 14}, "");
    progressBar1_ = Make<ui::ZipProgressBar>(visuZippage_, "ProgressBar1", {50, 59, 320, 11});

    listBox3_ = Make<QListWidget>(client_, "ListBox3", {8, 84, 380, 76});

    cbEject_ = MakeBox(client_, "CbEject", {8, 162, 200, 16}, "Eject the disk");
    cbAutoClose_ = MakeBox(client_, "CbAutoClose", {8, 178, 200, 16}, "Close by itself");
    cbAutomation_ = MakeBox(client_, "CbAutomation", {8, 194, 200, 16}, "Automatic backups");
    bttn3dPopMnu_ = MakeButton(client_, "Bttn3dPopMnu", {262, 188, 20, 20}, QString::fromUtf8("\u25BE"));
    bttn3dAbout_ = MakeButton(client_, "Bttn3dAbout", {286, 188, 20, 20}, "?");
    btQuitter3D_ = MakeButton(client_, "BtQuitter3D", {312, 170, 76, 38}, "ESC");

    // Where the right-hand panel is: the error list and the in-use list of the error report.
    lbError_ = MakeLabel(client_, "LbError", {kP2Left + kP2Inset, 4, kErrorListWidth, 14}, "Errors");
    listBox1_ = Make<QListWidget>(client_, "ListBox1", {kP2Left + kP2Inset, 20, kErrorListWidth, 84});
    lbFileInUse_ =
        MakeLabel(client_, "LbFileInUse", {kP2Left + kP2Inset, 108, kErrorListWidth, 14}, "Files in use");
    listBox2_ = Make<QListWidget>(client_, "ListBox2", {kP2Left + kP2Inset, 124, kErrorListWidth, 86});
    for (QListWidget* list : {listBox1_, listBox2_, listBox3_}) {
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setFocusPolicy(Qt::NoFocus);
    }

    BuildRightPanel();
    BuildHiddenControls();
}

void TForm1::BuildRightPanel() {
    p2_ = Make<QWidget>(client_, "P2", {kP2Left, 0, kP2Width, kHeight});

    plNotice_ = Make<QWidget>(p2_, "PlNotice", {kP2Inset, 0, kP2Width - kP2Inset, 150});
    MakeLabel(plNotice_, "Label3DNotice", {4, 2, 150, 14}, "Memo");
    gated_["Button3DNotice"] = MakeButton(plNotice_, "Button3DNotice", {214, 1, 22, 16}, "x");
    postIt_ = Make<QPlainTextEdit>(plNotice_, "PostIt", {4, 18, 232, 130});
    // The logo takes the memo's place while the memo is hidden.
    image3_ = Make<QLabel>(p2_, "Image3", {kP2Inset + 4, 18, 232, 130});
    image3_->setAlignment(Qt::AlignCenter);

    auto* plRequete = Make<QWidget>(p2_, "PlRequete", {kP2Inset, 152, 80, 60});
    gated_["Label3Requete"] = MakeLabel(plRequete, "Label3Requete", {4, 2, 72, 14}, "Queries");
    gated_["Button3DRequete"] = MakeButton(plRequete, "Button3DRequete", {4, 20, 72, 26}, "+/-");
    auto* plArchives = Make<QWidget>(p2_, "PlArchives", {kP2Inset + 80, 152, 80, 60});
    gated_["Lb3dArchives"] = MakeLabel(plArchives, "Lb3dArchives", {4, 2, 72, 14}, "Archives");
    gated_["Bttn3dZip"] = MakeButton(plArchives, "Bttn3dZip", {4, 20, 72, 26}, "Zip");
    auto* pnFormat = Make<QWidget>(p2_, "PnFormat", {kP2Inset + 160, 152, 80, 60});
    gated_["Lb3dFormat"] = MakeLabel(pnFormat, "Lb3dFormat", {4, 2, 72, 14}, "Format");
    gated_["Bttn3DForDsk"] = MakeButton(pnFormat, "Bttn3DForDsk", {4, 20, 34, 26}, "A:");
    gated_["Bttn3dForZip"] = MakeButton(pnFormat, "Bttn3dForZip", {42, 20, 34, 26}, "ZIP");
    for (const char* name : {"Label3Requete", "Lb3dArchives", "Lb3dFormat"}) {
        gated_[name]->setCursor(Qt::PointingHandCursor);
    }
    gated_["Lb3dExplo"] = lb3dExplo_;
    gated_["Bttn3DDelComboPath"] = bttn3DDelComboPath_;
    gated_["Bttn3dAbout"] = bttn3dAbout_;
}

void TForm1::BuildHiddenControls() {
    // The run state's options live as hidden controls, under the names the runner uses for them.
    for (const char* name : {"CbPath", "CbSubDir", "CBExe", "CBPassWord", "CbUpdateZip", "CBDatePrefix",
                             "JJMM", "CbQuitOS", "CbAutoRun", "CbAskFiles", "CbSFXMsg", "CbSuccesMsg"}) {
        auto* box = MakeBox(client_, name, {0, 0, 10, 10}, name);
        box->hide();
        hiddenBoxes_[name] = box;
    }
    edMsgSfx_ = Make<QLineEdit>(client_, "EdMsgSfx", {0, 0, 10, 10});
    edMsgSfx_->hide();
    edTypeboiteInt_ = Make<QLineEdit>(client_, "edTypeboiteInt", {0, 0, 10, 10});
    edTypeboiteInt_->hide();
    image2_ = Make<QLabel>(client_, "Image2", {0, 0, 32, 32});
    image2_->hide();
    memolog_ = Make<QPlainTextEdit>(client_, "memolog", {0, 0, 10, 10});
    memolog_->setReadOnly(true);
    memolog_->hide();
}

void TForm1::BuildMenus() {
    mainMnu_ = new QMenuBar(this);
    mainMnu_->setObjectName("MainMnu");
    mainMnu_->setNativeMenuBar(false);

    auto menu = [this](QWidget* owner, const char* name, const char* caption) {
        auto* m = new QMenu(caption, owner);
        m->setObjectName(name);
        m->setToolTipsVisible(true);
        if (auto* bar = qobject_cast<QMenuBar*>(owner)) bar->addMenu(m);
        if (auto* parentMenu = qobject_cast<QMenu*>(owner)) parentMenu->addMenu(m);
        return m;
    };

    QMenu* mQuery = menu(mainMnu_, "MQuery", "&Queries");
    Item(mQuery, "MNewQ", "&New query...");
    Item(mQuery, "MOldQ", "&Edit queries...");
    Item(mQuery, "MNewQAdv", "New query &file...");
    Item(mQuery, "MOldQAdv", "Edit a query f&ile...");
    mQuery->addSeparator();
    Item(mQuery, "MQuit", "&Quit");

    QMenu* mLog = menu(mainMnu_, "Mlog", "&Log");
    Item(mLog, "MviewLog", "&View the log");
    Item(mLog, "MSaveInLog", "&Keep a log", true);
    Item(mLog, "MResetLog", "&Reset the log");

    QMenu* mActions = menu(mainMnu_, "Mactions", "&Tools");
    Item(mActions, "MView", "Archive &viewer...");
    Item(mActions, "MFix", "&Repair an archive...");
    Item(mActions, "Mtormald", "&Companion program");
    Item(mActions, "MFormat", "&Format a floppy disk...");
    Item(mActions, "MCut", "&Split a file...");
    Item(mActions, "MRestore", "Res&tore a split file...");
    Item(mActions, "MDatePostIt1", "&Date the memo");

    QMenu* mOptions = menu(mainMnu_, "MOptions", "O&ptions");
    Item(mOptions, "MPswTime", "Permanent archive &password...");
    Item(mOptions, "Madmini", "&Administration...");
    Item(mOptions, "MSas", "&Purge the staging folder");
    Item(mOptions, "MDskTurn", "&Disk rotation", true);
    QMenu* mLang = menu(mOptions, "MLang", "&Language");
    for (const auto& [name, caption] :
         {std::pair{"MnuFrench", "Fran\u00e7ais"}, std::pair{"MnuEnglish", "English"},
          std::pair{"MnuDeutsch", "Deutsch"}, std::pair{"mnuSpanish", "Espa\u00f1ol"},
          std::pair{"mnuItalian", "Italiano"}, std::pair{"MnuCustom", "Custom"}}) {
        Item(mLang, name, caption, true);
    }
    QMenu* mColor = menu(mOptions, "Mcolor", "&Display");
    Item(mColor, "MShowPostIt", "&Memo", true);
    Item(mColor, "MBtQ", "&Query buttons", true);
    Item(mColor, "MBtH", "&Archive buttons", true);
    Item(mColor, "MBtF", "&Format buttons", true);
    Item(mOptions, "MLong", "&Wide window", true);
    Item(mOptions, "MSeeZip", "Show the p&rogress", true);
    Item(mOptions, "MTray", "&Scheduler at log-on", true);
    Item(mOptions, "MFolder", "F&older commands", true);
    Item(mOptions, "MUseWizard", "Use the &wizard", true);
    Item(mOptions, "Mgif", "Animated &pictures", true);
    Item(mOptions, "MHint", "&Tooltips", true);

    QMenu* mWhat = menu(mainMnu_, "Mwhat", "&?");
    Item(mWhat, "MHelp", "&Help");
    Item(mWhat, "Mabout", "&About...");
    Item(mWhat, "Mweb", "On the &web");
    Item(mWhat, "Mmail", "Write to the &authors");
    Item(mWhat, "MZipNb", "Files archived &so far");

    popupMenu1_ = menu(this, "PopupMenu1", "");
    Item(popupMenu1_, "Queries", "&Queries...");
    Item(popupMenu1_, "SeeZip", "Show the p&rogress", true);
    Item(popupMenu1_, "DskTurn", "&Disk rotation", true);
    Item(popupMenu1_, "PswTime", "Permanent archive &password...");
    Item(popupMenu1_, "admini", "&Administration...");
    QMenu* log = menu(popupMenu1_, "LOG", "&Log");
    Item(log, "SaveLog", "&Keep a log", true);
    Item(log, "DelLog", "&Reset the log");
    Item(log, "ViewLog", "&View the log");
    Item(popupMenu1_, "ShowMainMnu", "&Main menu (next start)", true);
    Item(popupMenu1_, "Gif", "Animated &pictures", true);
    Item(popupMenu1_, "AffichageHint", "&Tooltips", true);
    Item(popupMenu1_, "about", "&About...");

    mnuPostIt_ = menu(this, "MnuPostIt", "");
    Item(mnuPostIt_, "Pdate", "Insert the &date");
    Item(mnuPostIt_, "PreadOnly", "&Read only", true);
    Item(mnuPostIt_, "Pcolor", "&Colour...");
    Item(mnuPostIt_, "Pscroll", "&Scroll bar", true);
    Item(mnuPostIt_, "Pwarp", "&Word wrap", true);
}

}  // namespace vpk
