#pragma once
// Bytes that are written over right away: growing them does not zero-fill first, as std::vector would
// (on every file of a backup that is a second pass over its data).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace vpk::zip {

class ByteBuffer {
  public:
    // Keeps the first min(old size, size) bytes; new bytes are indeterminate.
    void Resize(std::size_t size) {
        if (size > capacity_) {
            auto grown = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            if (size_ > 0) std::memcpy(grown.get(), bytes_.get(), size_);
            bytes_ = std::move(grown);
            capacity_ = size;
        }
        size_ = size;
    }
    void Release() {
        bytes_.reset();
        size_ = capacity_ = 0;
    }
    std::uint8_t* data() { return bytes_.get(); }
    const std::uint8_t* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t capacity() const { return capacity_; }

  private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace vpk::zip
