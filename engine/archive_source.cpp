#include "engine/archive_source.h"

#include <algorithm>
#include <cstring>

namespace vpk {

std::size_t MemoryArchiveSource::ReadAt(void* buffer, std::size_t size, std::uint64_t offset) {
    if (offset >= bytes_.size()) return 0;
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - offset));
    if (n > 0) std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
}

std::size_t FileArchiveSource::ReadAt(void* buffer, std::size_t size, std::uint64_t offset) {
    return file_.ReadAt(buffer, size, offset);
}

std::size_t SequentialReader::Read(void* out, std::size_t size) {
    auto* dest = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < size) {
        if (position_ < bufferStart_ || position_ >= bufferStart_ + bufferLength_) {
            // Large reads bypass the buffer; small ones refill it.
            if (size - done >= kBufferSize) {
                std::size_t n = source_->ReadAt(dest + done, size - done, position_);
                position_ += n;
                return done + n;
            }
            buffer_.resize(kBufferSize);
            bufferStart_ = position_;
            bufferLength_ = source_->ReadAt(buffer_.data(), kBufferSize, position_);
            if (bufferLength_ == 0) break;
        }
        std::size_t offset = static_cast<std::size_t>(position_ - bufferStart_);
        std::size_t n = std::min(size - done, bufferLength_ - offset);
        if (n > 0) std::memcpy(dest + done, buffer_.data() + offset, n);
        done += n;
        position_ += n;
    }
    return done;
}

bool SequentialReader::ReadString(std::string& out, std::size_t size) {
    std::string bytes(size, '\0');
    if (Read(bytes.data(), size) != size) return false;
    out = std::move(bytes);
    return true;
}

bool SequentialReader::Skip(std::uint64_t size) {
    std::uint64_t target = position_ + size;
    if (target < position_ || target > source_->Size()) return false;
    position_ = target;
    return true;
}

void SequentialReader::Switch(ArchiveSource& source, std::uint64_t position) {
    source_ = &source;
    position_ = position;
    bufferStart_ = 0;
    bufferLength_ = 0;
}

}  // namespace vpk
