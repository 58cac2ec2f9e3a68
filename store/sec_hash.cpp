#include "store/sec_hash.h"

#include <nettle/sha1.h>

#include <cstdio>

namespace vpk {

SecDigest TSecHash::Digest(std::string_view text) const {
    sha1_ctx ctx;
    sha1_init(&ctx);
    sha1_update(&ctx, text.size(), reinterpret_cast<const std::uint8_t*>(text.data()));
    std::uint8_t bytes[SHA1_DIGEST_SIZE];
    sha1_digest(&ctx, SHA1_DIGEST_SIZE, bytes);
    SecDigest words{};
    for (std::size_t w = 0; w < words.size(); ++w)
        words[w] = (std::uint32_t{bytes[4 * w]} << 24) | (std::uint32_t{bytes[4 * w + 1]} << 16) |
                   (std::uint32_t{bytes[4 * w + 2]} << 8) | bytes[4 * w + 3];
    return words;
}

std::string DigestText(const SecDigest& digest) {
    std::string text;
    char word[9];
    for (std::size_t w = 0; w < digest.size(); ++w) {
        if (w > 0) text += ' ';
        std::snprintf(word, sizeof word, "%08X", static_cast<unsigned>(digest[w]));
        text += word;
    }
    return text;
}

}  // namespace vpk
