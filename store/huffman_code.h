#pragma once
// Building the static Huffman codes the lh5 coder sends with each block.
#include <cstdint>
#include <span>
#include <vector>

namespace vpk {

// Code lengths of an optimal prefix code for the frequencies, none longer than maxLength (when the
// lengths come out longer, the frequencies are flattened and the code built again). Unused symbols get
// length 0. With fewer than two used symbols every length is 0: the caller sends such a table as
// "one value", which costs no bits per symbol.
std::vector<std::uint8_t> HuffmanCodeLengths(std::span<const std::uint32_t> frequencies, int maxLength);

// Canonical codes for the lengths: shorter codes first, equal lengths in symbol order — the order the
// decoder assumes when it rebuilds the code from the lengths alone.
std::vector<std::uint16_t> CanonicalCodes(std::span<const std::uint8_t> lengths);

}  // namespace vpk
