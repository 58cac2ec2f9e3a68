#pragma once
// "Let the application process pending messages": long work stays on the calling thread and calls
// ProcessPending() between steps so windows repaint and a stop request can be noticed. The Qt layer
// installs its own pump; the console has none (nothing to do).
namespace vpk {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessPending() = 0;

    static EventPump& Current();
    static void Install(EventPump* pump);  // nullptr restores the no-op pump; caller owns it
};

inline void ProcessPendingEvents() { EventPump::Current().ProcessPending(); }

}  // namespace vpk
