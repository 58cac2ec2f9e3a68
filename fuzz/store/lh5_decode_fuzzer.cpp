// The lh5 decoder on arbitrary bytes: the first two bytes give the length asked for, the rest is the
// stream. It must decode exactly that length or raise ECorruptFile.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "store/corrupt_file.h"
#include "store/lh5_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t length = (std::size_t{data[0]} | (std::size_t{data[1]} << 8)) * 16;
    try {
        if (vpk::Lh5Decode(std::span(data + 2, size - 2), length).size() != length) std::abort();
    } catch (const vpk::ECorruptFile&) {
    }
    return 0;
}
