#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

#include "ui/message_dialog.h"

namespace vpk::ui {

int QtDialogs::Ask(const DialogRequest& request) {
    Dlg2BtnTexts texts;
    texts.caption = QString::fromStdString(request.caption);
    texts.icon = QString::fromStdString(request.icon);
    // One text goes on line 2 with line 1 empty, as every caller of the dialog expects.
    if (request.lines.size() == 1) {
        texts.lines[1] = QString::fromStdString(request.lines[0]);
    } else {
        for (std::size_t i = 0; i < request.lines.size() && i < 6; ++i) {
            texts.lines[i] = QString::fromStdString(request.lines[i]);
        }
    }
    for (std::size_t i = 0; i < request.buttons.size() && i < 4; ++i) {
        texts.buttons[i] = QString::fromStdString(request.buttons[i]);
    }
    texts.count = QString::number(request.buttons.empty() ? 1 : static_cast<int>(request.buttons.size()));
    return ShowDlg2Btn(texts, QApplication::activeWindow());
}

bool QtDialogs::AskText(const std::string& caption, const std::string& prompt, bool secret,
                        std::string& text) {
    bool ok = false;
    const QString answer = QInputDialog::getText(
        QApplication::activeWindow(), QString::fromStdString(caption), QString::fromStdString(prompt),
        secret ? QLineEdit::Password : QLineEdit::Normal, QString::fromStdString(text), &ok);
    if (ok) text = answer.toStdString();
    return ok;
}

}  // namespace vpk::ui
