#include "ui/command_gate.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>

namespace vpk::ui {

void CommandGate::SetAllowed(QAction* item, bool allowed) {
    item->setEnabled(allowed);
}

void CommandGate::SetAllowed(QWidget* control, bool allowed) {
    if (allowed == Allowed(control)) return;
    if (allowed) {
        control->setToolTip(refused_.take(control));
        control->removeEventFilter(this);
    } else {
        refused_.insert(control, control->toolTip());
        control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this, control] { refused_.remove(control); });
    }
}

bool CommandGate::Allowed(const QWidget* control) const {
    return !refused_.contains(control);
}

bool CommandGate::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (!control || Allowed(control)) return false;
    switch (event->type()) {
        case QEvent::MouseButtonRelease: {
            control->setToolTip(refusal_);
            const auto* mouse = static_cast<QMouseEvent*>(event);
            QToolTip::showText(mouse->globalPosition().toPoint(), refusal_, control);
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;  // the command does not run
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                control->setToolTip(refusal_);
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

}  // namespace vpk::ui
