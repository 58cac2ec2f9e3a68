#include "engine/zip_crypto.h"

#include <array>
#include <random>

namespace vpk::zip {
namespace {

// The CRC-32 table step of the key schedule (byte-wise, reflected polynomial 0xEDB88320).
constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

inline std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) {
    return kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

ZipCrypto::ZipCrypto(std::string_view password) : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
    for (char c : password) Update(static_cast<std::uint8_t>(c));
}

void ZipCrypto::Update(std::uint8_t plain) {
    keys_[0] = CrcStep(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = CrcStep(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
}

void ZipCrypto::Encrypt(std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t plain = data[i];
        data[i] = plain ^ StreamByte();
        Update(plain);
    }
}

void ZipCrypto::Decrypt(std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t plain = data[i] ^ StreamByte();
        data[i] = plain;
        Update(plain);
    }
}

void ZipCrypto::MakeHeader(std::uint8_t header[12], std::uint8_t checkByte) {
    thread_local std::mt19937 generator{std::random_device{}()};
    for (int i = 0; i < 11; ++i) header[i] = static_cast<std::uint8_t>(generator());
    header[11] = checkByte;
    Encrypt(header, 12);
}

bool ZipCrypto::CheckHeader(std::uint8_t header[12], std::uint8_t checkByte) {
    Decrypt(header, 12);
    return header[11] == checkByte;
}

}  // namespace vpk::zip
