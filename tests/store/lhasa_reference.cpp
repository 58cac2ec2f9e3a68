#include "lhasa_reference.h"

#include <lha_decoder.h>

#include <algorithm>
#include <cstring>

namespace vpk::test {

namespace {

struct Source {
    std::span<const std::uint8_t> data;
    std::size_t next = 0;
};

size_t Feed(void* buffer, size_t size, void* user) {
    auto* source = static_cast<Source*>(user);
    const std::size_t n = std::min(size, source->data.size() - source->next);
    std::memcpy(buffer, source->data.data() + source->next, n);
    source->next += n;
    return n;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> LhasaDecode(std::span<const std::uint8_t> compressed,
                                                     std::size_t length) {
    char method[] = "-lh5-";
    LHADecoderType* type = lha_decoder_for_name(method);
    if (!type) return std::nullopt;
    Source source{compressed};
    LHADecoder* decoder = lha_decoder_new(type, Feed, &source, length);
    if (!decoder) return std::nullopt;
    std::vector<std::uint8_t> out;
    std::uint8_t buffer[4096];
    for (;;) {
        const size_t n = lha_decoder_read(decoder, buffer, sizeof buffer);
        if (n == 0) break;
        out.insert(out.end(), buffer, buffer + n);
    }
    lha_decoder_free(decoder);
    if (out.size() != length) return std::nullopt;
    return out;
}

}  // namespace vpk::test
