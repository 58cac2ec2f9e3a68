#include "repair/file_repair_sink.h"

namespace vpk {

void FileRepairSink::Write(const void* data, std::size_t size) {
    if (buffer_.size() + size <= kBufferSize) {
        buffer_.append(static_cast<const char*>(data), size);
        return;
    }
    Flush();
    if (size >= kBufferSize) {
        file_.Write(data, size);
    } else {
        buffer_.append(static_cast<const char*>(data), size);
    }
}

void FileRepairSink::Flush() {
    if (buffer_.empty()) return;
    file_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
}

}  // namespace vpk
