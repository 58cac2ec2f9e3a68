#pragma once
// TPassAdmini: the administrator password prompt of an interactive start. One information line, a
// masked entry and an Ok button; Enter, Esc and Ok all close it, and what was typed is then checked.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vpk {

class AdminLock;

class TPassAdmini : public QDialog {
    Q_OBJECT
  public:
    explicit TPassAdmini(QWidget* parent = nullptr);
    void SetInformation(const QString& text);
    QString Typed() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* label1_ = nullptr;
    QLineEdit* maskEdit1_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// The start-up check: when a password is set, asks for it (label text `information`) and checks what
// was typed. True when the lock is now open; false when no password is set or the text was wrong.
bool AskAdministratorPassword(AdminLock& lock, const QString& information, QWidget* parent = nullptr);

}  // namespace vpk
