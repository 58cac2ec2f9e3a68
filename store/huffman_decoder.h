#pragma once
// Decodes one static Huffman code of an lh5 block, rebuilt from its code lengths. Built to refuse
// rather than trust: lengths that over-fill the code space are rejected, and a bit pattern no symbol
// owns decodes as an error, so no input can make the decoder index outside its tables.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "store/bit_reader.h"
#include "store/lh5_format.h"

namespace vpk {

class HuffmanDecoder {
  public:
    // The code of the lengths (0 = symbol unused, at most lh5::kMaxCodeLength). False when the
    // lengths describe no prefix code: too many codes of some length, or none at all.
    bool Build(std::span<const std::uint8_t> lengths);
    // A table that sends one value without spending any bits on it.
    void SetSingle(std::uint16_t value);

    // The next symbol, or -1 when the bits match no code.
    int Decode(BitReader& reader) const;

  private:
    bool single_ = false;
    std::uint16_t singleValue_ = 0;
    std::array<std::uint16_t, lh5::kMaxCodeLength + 1> count_{};  // codes per length
    std::vector<std::uint16_t> symbols_;                          // by length, then symbol order
};

}  // namespace vpk
