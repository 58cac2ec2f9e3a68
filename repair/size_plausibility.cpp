#include "repair/size_plausibility.h"

#include "engine/zip_format.h"

namespace vpk {

namespace {

// AES: 16 bytes of salt at most, 2 of password check, 10 of authentication code.
constexpr std::uint64_t kAesOverhead = 28;
constexpr std::uint16_t kMethodDeflate64 = 9;

}  // namespace

std::uint64_t MaxCompressionOverhead(std::uint16_t method, std::uint16_t flags, std::uint64_t uncompressed) {
    std::uint64_t overhead = 0;
    if (method == zip::kMethodAes || (flags & zip::kFlagStrongEncryption) != 0) {
        overhead += kAesOverhead;
    } else if ((flags & zip::kFlagEncrypted) != 0) {
        overhead += zip::kEncryptionHeaderSize;
    }
    if (method == zip::kMethodStored) return overhead;
    if (method == zip::kMethodDeflated || method == kMethodDeflate64) {
        // Incompressible input falls back to stored blocks: 5 bytes per block of at least a few
        // thousand bytes (zlib uses up to 64 KiB, libdeflate no less than about 5000), plus the end of
        // the stream.
        return overhead + uncompressed / 512 + 64;
    }
    // Other methods (bzip2, LZMA, …) and AES, whose real method sits in its extra field: a looser
    // bound that still keeps random header bytes out.
    return overhead + uncompressed / 64 + 1024;
}

}  // namespace vpk
