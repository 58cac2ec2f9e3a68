#include "store/bit_reader.h"

namespace vpk {

std::uint32_t BitReader::Get(int count) {
    if (count == 0) return 0;
    while (bits_ < count) {
        const std::uint8_t byte = next_ < data_.size() ? data_[next_] : 0;
        ++next_;
        buffer_ = (buffer_ << 8) | byte;
        bits_ += 8;
    }
    bits_ -= count;
    consumed_ += static_cast<std::uint64_t>(count);
    const std::uint32_t value = (buffer_ >> bits_) & ((1u << count) - 1);
    buffer_ &= (1u << bits_) - 1;
    return value;
}

}  // namespace vpk
