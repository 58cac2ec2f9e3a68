#pragma once
// TPassAdmini: the administrator password prompt of an interactive start. One information line, a
// masked entry and an Ok button; Enter, Esc and Ok all close it, and what was typed is then checked.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vpk {

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

// Shows the prompt modally with `information` as its label and answers what was typed (Enter, Esc, Ok
// and the close box all end it; the caller checks the text).
QString AskPassAdmini(const QString& information, QWidget* parent = nullptr);

}  // namespace vpk
