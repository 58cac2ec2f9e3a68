// The Qt pieces the windows share: the component tree that translation walks, the history combo box,
// the administrator password prompt.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "lang/language.h"
#include "model/path_routines.h"
#include "platform/profile_file.h"
#include "store/admin_lock.h"
#include "store/pass_admini_window.h"
#include "support/test_support.h"
#include "ui/history_combo.h"
#include "ui/qt_component_tree.h"

namespace vpk {
namespace {

template <typename W>
W* Named(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

TEST(QtComponentTreeTest, LanguageFileReachesEveryKindOfControl) {
    test::TempDir dir;
    const std::string file = dir / "test.lgn";
    test::WriteHostFile(file,
                        "[Translations]\n"
                        "Form9.Caption=Fenetre\n"
                        "FORM9.lbinfo.CAPTION=Info\n"
                        "Form9.Box.caption=Groupe\n"
                        "Form9.Go.caption=Lancer\n"
                        "Form9.Go.hint=Court|Long\n"
                        "Form9.Items.caption=Menu\n"
                        "Form9.Quit.caption=Quitter\n"
                        "Form9.Choice.items=un,deux\n"
                        "Form9.Go.width=120\n"
                        "Form9.Inner.Caption=Boite\n"
                        "Form9.Missing.caption=x\n"
                        "Form9.Go.nosuch=x\n"
                        "Form9.Empty.caption=\n");
    auto form = std::make_unique<QWidget>();
    form->setObjectName("Form9");
    auto* box = Named<QGroupBox>(form.get(), "Box");
    auto* label = Named<QLabel>(box, "LbInfo");  // nested: a form owns every named control inside it
    auto* go = Named<QPushButton>(form.get(), "Go");
    auto* empty = Named<QLabel>(form.get(), "Empty");
    empty->setText("design");
    auto* menu = Named<QMenu>(form.get(), "Items");
    auto* quit = new QAction("Quit", menu);
    quit->setObjectName("Quit");
    menu->addAction(quit);
    auto* choice = Named<QComboBox>(form.get(), "Choice");
    // A dialog of the form is a form of its own: its controls are not the form's.
    auto* inner = new QDialog(form.get());
    inner->setObjectName("Inner");

    ui::QtComponentTree tree;
    TLanguage language;
    language.SetApplication(&tree);
    language.SetFN(file);
    language.SetSeparator(",");
    for (const char* path :
         {"Form9.Caption", "FORM9.lbinfo.CAPTION", "Form9.Box.caption", "Form9.Go.caption", "Form9.Go.hint",
          "Form9.Items.caption", "Form9.Quit.caption", "Form9.Choice.items", "Form9.Go.width",
          "Form9.Inner.Caption", "Form9.Missing.caption", "Form9.Go.nosuch", "Form9.Empty.caption"})
        language.Properties().push_back(path);
    language.Translate();

    EXPECT_EQ(form->windowTitle(), "Fenetre");
    EXPECT_EQ(label->text(), "Info");
    EXPECT_EQ(box->title(), "Groupe");
    EXPECT_EQ(go->text(), "Lancer");
    EXPECT_EQ(go->toolTip(), "Court\nLong");
    EXPECT_EQ(go->width(), 120);
    EXPECT_EQ(menu->title(), "Menu");
    EXPECT_EQ(quit->text(), "Quitter");
    ASSERT_EQ(choice->count(), 2);
    EXPECT_EQ(choice->itemText(1), "deux");
    EXPECT_EQ(inner->windowTitle(), "");  // reached as "Inner.Caption", not through Form9
    EXPECT_EQ(empty->text(), "design");

    // The old value a translation handler sees is the raw hint.
    std::string seen;
    language.OnTranslate = [&](TLanguage&, TranslatableComponent& c, const std::string& property,
                               const std::string& old, std::string&) {
        if (c.Name() == "Go" && property == "hint") seen = old;
    };
    language.Translate();
    EXPECT_EQ(seen, "Court|Long");

    // A window destroyed between two passes is simply absent.
    form.reset();
    EXPECT_NO_THROW(language.Translate());
    for (TranslatableComponent* f : tree.Components()) EXPECT_NE(f->Name(), "Form9");
}

TEST(HistoryComboTest, RoundTripThroughTheSettingsFileKeepsOrderAndText) {
    test::TestInstallation installation;
    const std::string file = ProgramFolder() + "vortipak.ini";
    ui::HistoryCombo combo;
    combo.Load(file, "HistoryNOParmDir", "");
    EXPECT_EQ(combo.count(), 0);
    for (const char* typed : {"C:\\SAVE\\", "d:\\archives\\", "c:\\save\\", "  "}) {
        combo.setEditText(typed);
        combo.AddCurrentText();  // the same folder in another case, or a blank text, is not added again
    }
    combo.setEditText("D:\\ARCHIVES\\");
    combo.Save(file, "HistoryNOParmDir");

    ui::HistoryCombo next;
    next.Load(file, "HistoryNOParmDir", "");
    ASSERT_EQ(next.count(), 2);
    EXPECT_EQ(next.itemText(0), "C:\\SAVE\\");
    EXPECT_EQ(next.itemText(1), "d:\\archives\\");
    EXPECT_EQ(next.currentText(), "D:\\ARCHIVES\\");
}

TEST(PassAdminiTest, EnterEscAndOkAllCloseAndTheTypedTextIsChecked) {
    test::TestInstallation installation;
    const std::string file = ProgramFolder() + "vortipak.ini";
    profile::WriteString(file, "admini", "passw", PasswordDigestText("abc"));
    struct Case {
        const char* typed;
        int key;  // 0: the Ok button
        bool unlocked;
    };
    for (const Case& c : {Case{"abc", Qt::Key_Return, true}, Case{"abc", Qt::Key_Escape, true},
                          Case{"abc", 0, true}, Case{"abd", Qt::Key_Return, false}, Case{"", 0, false}}) {
        AdminLock lock(file);
        QTimer::singleShot(0, [&c] {
            QWidget* prompt = QApplication::activeModalWidget();
            ASSERT_NE(prompt, nullptr);
            auto* entry = prompt->findChild<QLineEdit*>("MaskEdit1");
            QTest::keyClicks(entry, c.typed);
            EXPECT_EQ(entry->echoMode(), QLineEdit::Password);
            EXPECT_EQ(prompt->findChild<QLabel*>("Label1")->text(), "Mot de passe ?");
            if (c.key)
                QTest::keyClick(prompt, static_cast<Qt::Key>(c.key));
            else
                prompt->findChild<QPushButton*>("Ok")->click();
        });
        const QString typed = AskPassAdmini("Mot de passe ?");
        EXPECT_EQ(typed, c.typed);
        EXPECT_EQ(lock.Check(typed.toStdString()), c.unlocked) << c.typed << " " << c.key;
        EXPECT_EQ(lock.Unlocked(), c.unlocked);
    }
}

}  // namespace
}  // namespace vpk
