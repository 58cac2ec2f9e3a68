#pragma once
// Whether an entry's compressed size fits its uncompressed size. Data never shrinks by being stored,
// but compression and encryption do add bytes: a deflate stream of an empty or incompressible file is a
// few bytes longer than the file, and traditional encryption puts a 12-byte header in front of the
// data. A plain "compressed <= uncompressed" rule would drop such sound entries from a repair, so the
// allowance is the most those layers can add; anything beyond stays implausible.
#include <cstdint>

namespace vpk {

// The most bytes compression (by method) and encryption (by flags) can add to uncompressed bytes.
std::uint64_t MaxCompressionOverhead(std::uint16_t method, std::uint16_t flags, std::uint64_t uncompressed);

inline bool SizesPlausible(std::uint16_t method, std::uint16_t flags, std::uint64_t compressed,
                           std::uint64_t uncompressed) {
    return compressed <= uncompressed ||
           compressed - uncompressed <= MaxCompressionOverhead(method, flags, uncompressed);
}

}  // namespace vpk
