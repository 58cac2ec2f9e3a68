#pragma once
// Blowfish (16 rounds, ECB) in the store's conventions: each 8-byte block holds its two 32-bit halves
// little-endian, and the data is padded with 0x01 bytes and a final count byte to a multiple of 8.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace vpk {

class BlowfishCipher {
  public:
    // `key` is the key's bytes (1 or more; only the first 72 take part in the key schedule).
    explicit BlowfishCipher(std::string_view key);
    ~BlowfishCipher();
    BlowfishCipher(const BlowfishCipher&) = delete;
    BlowfishCipher& operator=(const BlowfishCipher&) = delete;

    // False for an empty key and for a weak key (an S-box with two equal entries after the schedule):
    // such a key enciphers and deciphers nothing.
    bool Usable() const { return usable_; }

    // Pads and enciphers. Requires Usable().
    std::vector<std::uint8_t> Encipher(std::span<const std::uint8_t> plain) const;
    // Deciphers and drops the padding; false when the data is not a whole number of blocks or the
    // padding is not what Encipher writes (the usual sign of a wrong key). Requires Usable().
    bool Decipher(std::span<const std::uint8_t> enciphered, std::vector<std::uint8_t>& plain) const;

  private:
    struct Context;
    std::unique_ptr<Context> context_;
    bool usable_ = false;
};

}  // namespace vpk
