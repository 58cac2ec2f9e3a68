#pragma once
// A label whose text blinks while blinking is on (a step that waits for the user, a warning).
#include <QLabel>
#include <QTimer>

namespace vpk::ui {

class BlinkingLabel : public QLabel {
    Q_OBJECT
  public:
    explicit BlinkingLabel(QWidget* parent = nullptr, int intervalMs = 500);
    void SetBlinking(bool on);
    bool Blinking() const { return timer_.isActive(); }
    bool TextShown() const { return shown_; }

  private:
    void Toggle();
    QTimer timer_;
    bool shown_ = true;
};

}  // namespace vpk::ui
