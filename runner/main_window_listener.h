#pragma once
// Observer of the main window model: one callback per element kind, called on the user-interface
// thread right after the element changed, with the element's new value. Callbacks must not change
// the model (the runner is in the middle of a step); every default does nothing.
#include <string>
#include <vector>

#include "runner/main_window_elements.h"

namespace vpk {

class MainWindowListener {
  public:
    virtual ~MainWindowListener() = default;
    virtual void OnLabel(LabelId, const LabelElement&) {}
    virtual void OnList(ListId, ListEdit, const ListElement&) {}
    virtual void OnProgress(const ProgressElement&) {}
    virtual void OnPicture(PictureId, const PictureElement&) {}
    virtual void OnPanel(PanelId, const PanelElement&) {}
    virtual void OnDestinationBox(const DestinationBoxElement&) {}
    virtual void OnWindow(const WindowElement&) {}
    // The hidden run-log memo (memolog): its lines are the run log held in memory.
    virtual void OnLog(ListEdit, const std::vector<std::string>&) {}
};

}  // namespace vpk
