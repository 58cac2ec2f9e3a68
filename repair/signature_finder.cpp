#include "repair/signature_finder.h"

#include <cstring>

namespace vpk {

SignatureFinder::SignatureFinder(std::uint32_t signature, std::uint64_t room) : room_(room < 4 ? 4 : room) {
    for (int i = 0; i < 4; ++i) bytes_[i] = static_cast<std::uint8_t>(signature >> (8 * i));
    skip_.fill(4);
    for (int i = 0; i < 4; ++i) skip_[bytes_[i]] = static_cast<std::uint8_t>(3 - i);
}

std::optional<std::uint64_t> SignatureFinder::Find(const std::uint8_t* data, std::uint64_t size,
                                                   std::uint64_t from) const {
    if (data == nullptr || size < room_ || from > size - room_) return std::nullopt;
    // Every candidate start lies in [from, last]; the window's end byte is at start + 3.
    const std::uint64_t last = size - room_;
    std::uint64_t end = from + 3;
    while (end <= last + 3) {
        const std::uint8_t step = skip_[data[end]];
        if (step == 0) {
            const std::uint64_t start = end - 3;
            if (std::memcmp(data + start, bytes_.data(), 4) == 0) return start;
            // The last byte of the signature appears nowhere else in it, so no match can end before
            // end + 4.
            end += 4;
        } else {
            end += step;
        }
    }
    return std::nullopt;
}

}  // namespace vpk
