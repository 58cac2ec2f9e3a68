#include "ui/blinking_label.h"

#include <QPalette>

namespace vpk::ui {

BlinkingLabel::BlinkingLabel(QWidget* parent, int intervalMs) : QLabel(parent) {
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &BlinkingLabel::Toggle);
}

void BlinkingLabel::SetBlinking(bool on) {
    if (on) {
        timer_.start();
    } else {
        timer_.stop();
        shown_ = false;
        Toggle();  // always ends with the text visible
    }
}

void BlinkingLabel::Toggle() {
    shown_ = !shown_;
    // Hiding the text by colour keeps the layout still (hiding the widget would move its neighbours).
    QPalette p = palette();
    p.setColor(QPalette::WindowText, shown_ ? QPalette().color(QPalette::WindowText) : Qt::transparent);
    setPalette(p);
}

}  // namespace vpk::ui
