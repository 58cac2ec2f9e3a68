#pragma once
// Tells its owner about user activity in one window: every key press and every mouse movement over it
// or any of its controls (the close timer counts idle seconds from the last one).
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace vpk::ui {

class ActivityWatch : public QObject {
    Q_OBJECT
  public:
    // Watches `window` from now on; onActivity is called on the user-interface thread.
    ActivityWatch(QWidget* window, std::function<void()> onActivity);
    ~ActivityWatch() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> window_;
    std::function<void()> onActivity_;
};

}  // namespace vpk::ui
