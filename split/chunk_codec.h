#pragma once
// One chunk of a split container: up to 16384 source bytes stored as a complete zlib stream when that
// fits into 16384 bytes, raw otherwise. Every chunk is an independent stream, so a damaged chunk never
// spoils the next one.
#include <cstddef>
#include <cstdint>

namespace vpk::split {

enum class ChunkForm { Compressed, Raw, Failed };

// Compresses `size` (<= kChunkSize) bytes at the zlib level given (-1 = zlib's default) in one call
// with the finish flag into `out` (kChunkSize bytes). Compressed: out holds *outSize bytes of a zlib
// stream. Raw: the stream did not fit; store the source bytes as they are. Failed: zlib refused.
ChunkForm CompressChunk(const std::uint8_t* data, std::size_t size, int level, std::uint8_t* out,
                        std::size_t* outSize);

enum class ExpandResult {
    Ok,       // the stream ended; *produced bytes are in out
    Damaged,  // zlib reported an error, the stream is truncated, or it expands beyond kChunkSize;
              // *produced bytes (what zlib gave before stopping) are still in out
};

// Expands one stored zlib stream of `size` bytes into `out` (kChunkSize bytes).
ExpandResult ExpandChunk(const std::uint8_t* data, std::size_t size, std::uint8_t* out,
                         std::size_t* produced);

}  // namespace vpk::split
