#pragma once
// The Qt set-up shared by both programs: one application object, the Qt message dialog answering the
// core's questions and the Qt event pump, installed for the session's life and removed after it.
#include <memory>

class QApplication;

namespace vpk::ui {

class QtDialogs;
class QtEventPump;

// True when a window can be shown: a display server is named in the environment (or Qt is told which
// platform to use). Without one the programs run in console mode and never load Qt's platform plugin.
bool DisplayAvailable();

class GuiSession {
  public:
    GuiSession(int& argc, char** argv);
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;
    QApplication& Application() { return *application_; }

  private:
    std::unique_ptr<QApplication> application_;
    std::unique_ptr<QtDialogs> dialogs_;
    std::unique_ptr<QtEventPump> pump_;
};

}  // namespace vpk::ui
