#pragma once
// SHA-1 digests and their text form, as the administrator password is kept.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vpk {

using SecDigest = std::array<std::uint32_t, 5>;

class TSecHash {
  public:
    // SHA-1 of the bytes of `text`, as five 32-bit words (the first word holds digest bytes 0..3,
    // most significant first).
    SecDigest Digest(std::string_view text) const;
};

// The five words as 8-digit upper-case hexadecimal numbers joined by single blanks (44 characters).
std::string DigestText(const SecDigest& digest);

}  // namespace vpk
