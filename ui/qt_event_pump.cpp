#include "ui/qt_event_pump.h"

#include <QCoreApplication>

namespace vpk::ui {

void QtEventPump::ProcessPending() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace vpk::ui
