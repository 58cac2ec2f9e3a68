#pragma once
// Forward search for a 4-byte ZIP signature in a block of bytes with a skip table: the byte under the
// last position of a 4-byte window says how far the window may move, so bytes that occur nowhere in the
// signature let it jump 4 bytes and most of the input is never looked at.
#include <array>
#include <cstdint>
#include <optional>

namespace vpk {

class SignatureFinder {
  public:
    // signature as stored in the file, little-endian ("PK\3\4" is 0x04034b50); its 4 bytes must differ
    // from each other (true of every ZIP signature), which keeps the skip table exact.
    // room: bytes a hit needs from its start, so a record cut by the end of the input is never found.
    SignatureFinder(std::uint32_t signature, std::uint64_t room);

    // Start of the first signature at or after from whose room fits in [0, size); nullopt when none.
    std::optional<std::uint64_t> Find(const std::uint8_t* data, std::uint64_t size, std::uint64_t from) const;

  private:
    std::array<std::uint8_t, 256> skip_{};
    std::array<std::uint8_t, 4> bytes_{};
    std::uint64_t room_;
};

}  // namespace vpk
