#include "ui/activity_watch.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace vpk::ui {

ActivityWatch::ActivityWatch(QWidget* window, std::function<void()> onActivity)
    : QObject(window), window_(window), onActivity_(std::move(onActivity)) {
    // The application sees the events of every control before they do, including those a control
    // keeps for itself (a list box eats its own key presses).
    qApp->installEventFilter(this);
}

ActivityWatch::~ActivityWatch() {
    if (qApp) qApp->removeEventFilter(this);
}

bool ActivityWatch::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::MouseMove || type == QEvent::HoverMove) && window_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == window_.data() && onActivity_) onActivity_();
    }
    return false;
}

}  // namespace vpk::ui
