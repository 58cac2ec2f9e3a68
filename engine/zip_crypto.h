#pragma once
// Traditional PKWARE encryption of entry data: a stream cipher keyed by the password, three 32-bit
// keys updated with each plain byte. Weak by today's standards, but what every ZIP reader understands.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vpk::zip {

class ZipCrypto {
  public:
    explicit ZipCrypto(std::string_view password);

    void Encrypt(std::uint8_t* data, std::size_t size);
    void Decrypt(std::uint8_t* data, std::size_t size);

    // Builds the 12-byte header that precedes the encrypted data: 11 random bytes and the check byte,
    // encrypted in place. checkByte is the high byte of the CRC (or of the DOS time with a data
    // descriptor).
    void MakeHeader(std::uint8_t header[12], std::uint8_t checkByte);
    // Decrypts a header in place; true when its last byte equals checkByte (a wrong password passes
    // this test once in 256 times; the CRC check catches the rest).
    bool CheckHeader(std::uint8_t header[12], std::uint8_t checkByte);

  private:
    std::uint8_t StreamByte() const {
        const std::uint32_t t = (keys_[2] | 2) & 0xFFFF;
        return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
    }
    void Update(std::uint8_t plain);

    std::uint32_t keys_[3];
};

}  // namespace vpk::zip
