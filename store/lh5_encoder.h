#pragma once
// Compresses data with the lh5 method: LZSS matches found through hash chains (with one step of lazy
// evaluation), coded in blocks of static Huffman codes.
#include <cstdint>
#include <span>
#include <vector>

namespace vpk {

// The whole compressed stream for `input`, ended with 7 zero bits and the partial byte flushed. An
// empty input gives that end alone.
std::vector<std::uint8_t> Lh5Encode(std::span<const std::uint8_t> input);

}  // namespace vpk
