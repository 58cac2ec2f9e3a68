#pragma once
// A RepairSink over a platform File. Small records (headers, the central directory) are gathered into
// one buffer so a repair of many small entries does not cost a system call per header.
#include <string>

#include "platform/file.h"
#include "repair/repair_sink.h"

namespace vpk {

class FileRepairSink : public RepairSink {
  public:
    explicit FileRepairSink(File& file) : file_(file) {}
    void Write(const void* data, std::size_t size) override;
    void Flush() override;

  private:
    static constexpr std::size_t kBufferSize = 256 * 1024;
    File& file_;
    std::string buffer_;
};

}  // namespace vpk
