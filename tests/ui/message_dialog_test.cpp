#include "ui/message_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include "ui/qt_dialogs.h"

namespace vpk::ui {
namespace {

QString ScreenshotDir() {
    QDir dir(QCoreApplication::applicationDirPath() + "/../screenshots");
    dir.mkpath(".");
    return dir.absolutePath();
}

Dlg2BtnTexts Texts(int lines, const QString& count) {
    Dlg2BtnTexts t;
    t.caption = "Confirmation";
    t.icon = "?";
    const char* sample[] = {"The archive C:\\SAVE\\0307Docs.zip already exists.",
                            "Do you want to replace it?",
                            "Free space on A:\\ : 1.38 Mo",
                            "Size of the archive: 2.41 Mo",
                            "Insert another disk and press Retry,",
                            "or Cancel to stop the copy."};
    for (int i = 0; i < lines; ++i) t.lines[i] = sample[i];
    t.buttons = {"Retry", "Abort", "Yes", "Cancel"};
    t.count = count;
    return t;
}

// Clicks the named button once the dialog runs modally.
int PressLater(TDlg2Btn& dialog, const QString& buttonName) {
    QTimer::singleShot(0, &dialog, [&dialog, buttonName] {
        if (auto* button = dialog.findChild<QPushButton*>(buttonName))
            button->click();
        else
            dialog.reject();
    });
    dialog.exec();
    return dialog.Result();
}

TEST(MessageDialogTest, HeightFollowsTheLinesInUse) {
    struct Case {
        int lines;
        int height;
        const char* screenshot;
    };
    const Case cases[] = {{1, TDlg2Btn::kTwoLineHeight, "dlg-1-line.png"},
                          {2, TDlg2Btn::kTwoLineHeight, nullptr},
                          {4, TDlg2Btn::kFourLineHeight, "dlg-4-lines.png"},
                          {6, TDlg2Btn::kFullHeight, "dlg-6-lines.png"}};
    for (const auto& c : cases) {
        TDlg2Btn dialog;
        dialog.Setup(Texts(c.lines, QString::number(c.lines == 6 ? 4 : 2)));
        EXPECT_EQ(dialog.height(), c.height) << c.lines << " lines";
        EXPECT_EQ(dialog.width(), TDlg2Btn::kWidth);
        // Every visible line and the buttons lie inside the client area.
        dialog.show();
        for (auto* label : dialog.findChildren<QLabel*>(QRegularExpression("^Label[1-6]$"))) {
            if (!label->isVisible()) continue;
            const QRect r(label->mapTo(&dialog, QPoint(0, 0)), label->size());
            EXPECT_TRUE(dialog.rect().contains(r)) << label->objectName().toStdString();
        }
        for (auto* button : dialog.findChildren<QPushButton*>()) {
            if (!button->isVisible()) continue;
            const QRect r(button->mapTo(&dialog, QPoint(0, 0)), button->size());
            EXPECT_TRUE(dialog.rect().contains(r)) << button->objectName().toStdString();
        }
        if (c.screenshot) dialog.grab().save(ScreenshotDir() + "/" + c.screenshot);
        dialog.hide();
    }
}

TEST(MessageDialogTest, ButtonsAreNumberedFromTheLeftAndCloseBoxCancels) {
    TDlg2Btn three;
    three.Setup(Texts(2, "3"));
    EXPECT_EQ(three.findChild<QPushButton*>("Btn32")->text(), "Abort");
    EXPECT_EQ(PressLater(three, "Btn32"), 2);

    TDlg2Btn four;
    four.Setup(Texts(2, "4"));
    EXPECT_EQ(PressLater(four, "Btn41"), 1);

    TDlg2Btn closed;
    closed.Setup(Texts(2, "3"));
    EXPECT_EQ(PressLater(closed, "none"), 3) << "the close box answers the last button";

    TDlg2Btn odd;
    odd.Setup(Texts(1, "7"));
    EXPECT_EQ(odd.RowCount(), 1) << "a count out of 1..4 shows the one-button row";
    EXPECT_EQ(PressLater(odd, "Btn11"), 1);
}

TEST(MessageDialogTest, IconCodeShowsItsPicture) {
    const struct {
        const char* code;
        const char* visible;
    } cases[] = {{"?", "ImgAsk"}, {"!", "ImgWar"}, {"#", "ImgNoWay"}, {"x", nullptr}};
    for (const auto& c : cases) {
        TDlg2Btn dialog;
        auto texts = Texts(2, "1");
        texts.icon = c.code;
        dialog.Setup(texts);
        dialog.show();
        for (const char* name : {"ImgAsk", "ImgWar", "ImgNoWay"}) {
            auto* picture = dialog.findChild<QLabel*>(name);
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->isVisible(), c.visible && std::string(c.visible) == name)
                << c.code << " " << name;
        }
    }
}

TEST(MessageDialogTest, CoreQuestionWithOneTextUsesLineTwo) {
    QtDialogs dialogs;
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<TDlg2Btn*>(w); dialog && dialog->isVisible()) {
                EXPECT_TRUE(dialog->findChild<QLabel*>("Label1")->text().isEmpty());
                EXPECT_EQ(dialog->findChild<QLabel*>("Label2")->text(), "Disk full");
                dialog->findChild<QPushButton*>("Btn22")->click();
            }
        }
    });
    EXPECT_EQ(dialogs.Ask({"Warning", "!", {"Disk full"}, {"Yes", "No"}}), 2);
}

}  // namespace
}  // namespace vpk::ui
