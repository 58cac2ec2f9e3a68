#pragma once
// Pending window messages are processed between steps of long work on the user-interface thread.
#include "platform/event_pump.h"

namespace vpk::ui {

class QtEventPump : public EventPump {
  public:
    void ProcessPending() override;
};

}  // namespace vpk::ui
