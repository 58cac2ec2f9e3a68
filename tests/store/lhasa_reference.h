#pragma once
// liblhasa's lh5 decoder, the independent reading of what our coder writes.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vpk::test {

// nullopt when liblhasa cannot produce `length` bytes from `compressed`.
std::optional<std::vector<std::uint8_t>> LhasaDecode(std::span<const std::uint8_t> compressed,
                                                     std::size_t length);

}  // namespace vpk::test
