#include "store/pass_admini_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vpk {

TPassAdmini::TPassAdmini(QWidget* parent) : QDialog(parent) {
    setObjectName("PassAdmini");
    setWindowTitle("PassAdmini");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    setFixedSize(260, 96);

    label1_ = new QLabel(this);
    label1_->setObjectName("Label1");
    label1_->setGeometry(12, 10, 236, 16);

    maskEdit1_ = new QLineEdit(this);
    maskEdit1_->setObjectName("MaskEdit1");
    maskEdit1_->setGeometry(12, 32, 236, 22);
    maskEdit1_->setEchoMode(QLineEdit::Password);
    maskEdit1_->setStyleSheet("lineedit-password-character: 42");  // one "*" per character

    ok_ = new QPushButton("Ok", this);
    ok_->setObjectName("Ok");
    ok_->setGeometry(92, 62, 75, 25);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    maskEdit1_->setFocus();
}

void TPassAdmini::SetInformation(const QString& text) {
    label1_->setText(text);
}

QString TPassAdmini::Typed() const {
    return maskEdit1_->text();
}

void TPassAdmini::keyPressEvent(QKeyEvent* event) {
    // The window previews every key: Enter and Esc close it like Ok, and the text is checked either way.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

QString AskPassAdmini(const QString& information, QWidget* parent) {
    TPassAdmini prompt(parent);
    prompt.SetInformation(information);
    prompt.exec();
    return prompt.Typed();
}

}  // namespace vpk
