#pragma once
// Commands that cannot run now — forbidden by the administrator switches, or not offered by this
// build — are refused the way the main window has always refused them: a menu item is disabled; a
// button or a clickable label keeps its look, and a click on it only sets (and shows) the refusal text
// as its tooltip. Allowing a command again restores the control's own tooltip.
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QWidget;

namespace vpk::ui {

class CommandGate : public QObject {
    Q_OBJECT
  public:
    explicit CommandGate(QObject* parent = nullptr) : QObject(parent) {}

    // The text a refused button or label shows when clicked (language key "022030").
    void SetRefusalText(const QString& text) { refusal_ = text; }
    const QString& RefusalText() const { return refusal_; }

    void SetAllowed(QAction* item, bool allowed);
    void SetAllowed(QWidget* control, bool allowed);
    bool Allowed(const QWidget* control) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString refusal_ = "022030";
    QHash<const QWidget*, QString> refused_;  // refused control → its own tooltip
};

}  // namespace vpk::ui
