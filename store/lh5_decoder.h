#pragma once
// Expands data compressed with the lh5 method.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vpk {

// Decodes `input` until `outputLength` bytes have come out; bytes after that are ignored. Raises
// ECorruptFile ("Compressed file is corrupt") for an inconsistent code table or a stream that ends
// before the output is complete. Never reads or writes outside its buffers, whatever the input.
// The output grows as it is produced, so a false length costs memory only as far as the data backs it.
std::vector<std::uint8_t> Lh5Decode(std::span<const std::uint8_t> input, std::size_t outputLength);

}  // namespace vpk
