#pragma once
// Where a repair writes the rebuilt archive. Writes arrive in file order; Write takes all the bytes or
// raises (a full disk must never pass as a finished repair).
#include <cstddef>
#include <cstdint>

namespace vpk {

class RepairSink {
  public:
    virtual ~RepairSink() = default;
    virtual void Write(const void* data, std::size_t size) = 0;
    // Everything written so far reaches the destination (called once at the end of a repair).
    virtual void Flush() = 0;
};

}  // namespace vpk
