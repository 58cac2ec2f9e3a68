#include "ui/gui_session.h"

#include <QApplication>
#include <cstdlib>

#include "ui/qt_dialogs.h"
#include "ui/qt_event_pump.h"

namespace vpk::ui {

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

GuiSession::GuiSession(int& argc, char** argv)
    : application_(std::make_unique<QApplication>(argc, argv)),
      dialogs_(std::make_unique<QtDialogs>()),
      pump_(std::make_unique<QtEventPump>()) {
    // Windows are shown by the run modes when they need to; closing the last one must not end a run.
    QApplication::setQuitOnLastWindowClosed(false);
    Dialogs::Install(dialogs_.get());
    EventPump::Install(pump_.get());
}

GuiSession::~GuiSession() {
    Dialogs::Install(nullptr);
    EventPump::Install(nullptr);
}

}  // namespace vpk::ui
