#include "platform/event_pump.h"

namespace vpk {

namespace {

class NoEventPump : public EventPump {
  public:
    void ProcessPending() override {}
};

EventPump* installed = nullptr;

}  // namespace

EventPump& EventPump::Current() {
    static NoEventPump none;
    return installed ? *installed : none;
}

void EventPump::Install(EventPump* pump) {
    installed = pump;
}

}  // namespace vpk
