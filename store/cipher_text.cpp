#include "store/cipher_text.h"

#include <optional>

namespace vpk {

namespace {

constexpr unsigned kStart = 250;  // the running value's start, written first as "FA"
constexpr unsigned kModulus = 255;

std::optional<unsigned> HexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return std::nullopt;
}

std::optional<unsigned> HexPair(std::string_view text, std::size_t at) {
    const auto high = HexDigit(text[at]);
    const auto low = HexDigit(text[at + 1]);
    if (!high || !low) return std::nullopt;
    return *high * 16 + *low;
}

void AppendHex(std::string& out, unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(value >> 4) & 0xF];
    out += kDigits[value & 0xF];
}

std::string Encode(std::string_view text, std::string_view key) {
    if (text.empty()) return {};
    std::string out;
    out.reserve(2 + 2 * text.size());
    unsigned v = kStart;
    AppendHex(out, v);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned k = static_cast<unsigned char>(key[i % key.size()]);
        v = ((v + static_cast<unsigned char>(text[i])) % kModulus) ^ k;
        AppendHex(out, v);
    }
    return out;
}

std::string Decode(std::string_view text, std::string_view key) {
    if (text.size() <= 2 || text.size() % 2 != 0) return {};
    const auto first = HexPair(text, 0);
    if (!first) return {};
    unsigned v = *first;
    std::string out;
    out.reserve(text.size() / 2 - 1);
    for (std::size_t at = 2, i = 0; at < text.size(); at += 2, ++i) {
        const auto b = HexPair(text, at);
        if (!b) return {};
        const unsigned k = static_cast<unsigned char>(key[i % key.size()]);
        const unsigned c = *b ^ k;
        const unsigned code = v < c ? c - v : c + kModulus - v;  // 0..255 for any pair of bytes
        out += static_cast<char>(code);
        v = *b;
    }
    return out;
}

}  // namespace

std::string CipherText(std::string_view text, std::string_view key, bool encode) {
    if (key.empty()) key = kDefaultCipherTextKey;
    return encode ? Encode(text, key) : Decode(text, key);
}

}  // namespace vpk
