#include "store/huffman_decoder.h"

namespace vpk {

bool HuffmanDecoder::Build(std::span<const std::uint8_t> lengths) {
    single_ = false;
    count_.fill(0);
    symbols_.clear();
    for (std::uint8_t length : lengths) {
        if (length > lh5::kMaxCodeLength) return false;
        ++count_[length];
    }
    count_[0] = 0;
    // Each length must leave room for its codes in what the shorter lengths have not taken.
    std::int32_t left = 1;
    for (int length = 1; length <= lh5::kMaxCodeLength; ++length) {
        left = left * 2 - count_[length];
        if (left < 0) return false;
    }
    for (int length = 1; length <= lh5::kMaxCodeLength; ++length)
        for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol)
            if (lengths[symbol] == length) symbols_.push_back(static_cast<std::uint16_t>(symbol));
    return !symbols_.empty();
}

void HuffmanDecoder::SetSingle(std::uint16_t value) {
    single_ = true;
    singleValue_ = value;
    count_.fill(0);
    symbols_.clear();
}

int HuffmanDecoder::Decode(BitReader& reader) const {
    if (single_) return singleValue_;
    // Canonical decoding: at each length, the codes of that length are a contiguous range starting at
    // `first`; `index` is where their symbols start.
    std::int32_t code = 0;
    std::int32_t first = 0;
    std::int32_t index = 0;
    for (int length = 1; length <= lh5::kMaxCodeLength; ++length) {
        code |= static_cast<std::int32_t>(reader.GetBit());
        const std::int32_t count = count_[length];
        if (code - first < count) return symbols_[index + code - first];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return -1;
}

}  // namespace vpk
