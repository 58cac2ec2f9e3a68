#include "store/bit_writer.h"

namespace vpk {

void BitWriter::Put(int count, std::uint32_t value) {
    if (count == 0) return;
    buffer_ = (buffer_ << count) | (value & ((1u << count) - 1));
    bits_ += count;
    while (bits_ >= 8) {
        bits_ -= 8;
        out_.push_back(static_cast<std::uint8_t>(buffer_ >> bits_));
    }
    buffer_ &= (1u << bits_) - 1;
}

void BitWriter::Flush() {
    if (bits_ > 0) out_.push_back(static_cast<std::uint8_t>(buffer_ << (8 - bits_)));
    buffer_ = 0;
    bits_ = 0;
}

}  // namespace vpk
