#include "store/blowfish_cipher.h"

#include <nettle/blowfish.h>

#include <algorithm>
#include <stdexcept>

namespace vpk {

namespace {

constexpr std::size_t kBlock = 8;
constexpr std::uint8_t kPadByte = 0x01;

// nettle reads each half big-endian; the store's halves are little-endian.
void SwapHalves(std::uint8_t* block) {
    std::reverse(block, block + 4);
    std::reverse(block + 4, block + 8);
}

}  // namespace

struct BlowfishCipher::Context {
    blowfish_ctx ctx;
};

BlowfishCipher::BlowfishCipher(std::string_view key) : context_(std::make_unique<Context>()) {
    if (key.empty()) return;
    // nettle returns 0 for a weak key (it checks the S-boxes for equal entries) but fills the context.
    usable_ =
        blowfish_set_key(&context_->ctx, key.size(), reinterpret_cast<const std::uint8_t*>(key.data())) != 0;
}

BlowfishCipher::~BlowfishCipher() = default;

std::vector<std::uint8_t> BlowfishCipher::Encipher(std::span<const std::uint8_t> plain) const {
    if (!usable_) throw std::logic_error("Blowfish key not usable");
    const std::size_t pad = kBlock - (plain.size() + 1) % kBlock;  // 1..8
    std::vector<std::uint8_t> data(plain.begin(), plain.end());
    data.insert(data.end(), pad, kPadByte);
    data.push_back(static_cast<std::uint8_t>(pad));
    for (std::size_t at = 0; at < data.size(); at += kBlock) {
        SwapHalves(&data[at]);
        blowfish_encrypt(&context_->ctx, kBlock, &data[at], &data[at]);
        SwapHalves(&data[at]);
    }
    return data;
}

bool BlowfishCipher::Decipher(std::span<const std::uint8_t> enciphered,
                              std::vector<std::uint8_t>& plain) const {
    if (!usable_) throw std::logic_error("Blowfish key not usable");
    if (enciphered.empty() || enciphered.size() % kBlock != 0) return false;
    std::vector<std::uint8_t> data(enciphered.begin(), enciphered.end());
    for (std::size_t at = 0; at < data.size(); at += kBlock) {
        SwapHalves(&data[at]);
        blowfish_decrypt(&context_->ctx, kBlock, &data[at], &data[at]);
        SwapHalves(&data[at]);
    }
    const std::size_t pad = data.back();
    if (pad < 1 || pad > kBlock || pad + 1 > data.size()) return false;
    const auto padStart = data.end() - 1 - static_cast<std::ptrdiff_t>(pad);
    if (!std::all_of(padStart, data.end() - 1, [](std::uint8_t b) { return b == kPadByte; })) return false;
    data.erase(padStart, data.end());
    plain = std::move(data);
    return true;
}

}  // namespace vpk
