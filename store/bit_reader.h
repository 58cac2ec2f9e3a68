#pragma once
// Reads bit fields most significant bit first from a byte buffer. Reading past the end yields zero
// bits and is remembered, so a decoder can tell a truncated stream from a complete one.
#include <cstddef>
#include <cstdint>
#include <span>

namespace vpk {

class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    // The next `count` bits (0..16) as a number.
    std::uint32_t Get(int count);
    std::uint32_t GetBit() { return Get(1); }
    // True once more bits were taken than the buffer holds.
    bool Overrun() const { return consumed_ > data_.size() * 8; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t next_ = 0;  // next byte to load into buffer_
    std::uint64_t consumed_ = 0;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

}  // namespace vpk
