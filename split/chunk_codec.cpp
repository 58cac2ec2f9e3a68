#include "split/chunk_codec.h"

#include <zlib.h>

#include "split/split_format.h"

namespace vpk::split {

namespace {

constexpr std::size_t kStoredStreamOverhead = 11;

// Releases a zlib stream on every path out of a chunk call.
struct DeflateGuard {
    z_stream* stream;
    ~DeflateGuard() { deflateEnd(stream); }
};
struct InflateGuard {
    z_stream* stream;
    ~InflateGuard() { inflateEnd(stream); }
};

}  // namespace

ChunkForm CompressChunk(const std::uint8_t* data, std::size_t size, int level, std::uint8_t* out,
                        std::size_t* outSize) {
    *outSize = 0;
    if (size > kChunkSize) return ChunkForm::Failed;
    // Level 0 writes stored blocks: 11 bytes more than the data (header, block header, Adler-32), so
    // whether it fits is known without running zlib over a chunk only to throw the result away.
    if (level == 0 && size + kStoredStreamOverhead > kChunkSize) return ChunkForm::Raw;
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return ChunkForm::Failed;
    DeflateGuard guard{&stream};
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(kChunkSize);
    int result = deflate(&stream, Z_FINISH);
    if (result == Z_STREAM_END) {
        *outSize = kChunkSize - stream.avail_out;
        return ChunkForm::Compressed;
    }
    // Not finished because the output area is full: the stream would be longer than its data.
    if ((result == Z_OK || result == Z_BUF_ERROR) && stream.avail_out == 0) return ChunkForm::Raw;
    return ChunkForm::Failed;
}

ExpandResult ExpandChunk(const std::uint8_t* data, std::size_t size, std::uint8_t* out,
                         std::size_t* produced) {
    *produced = 0;
    z_stream stream{};
    if (inflateInit2(&stream, 15) != Z_OK) return ExpandResult::Damaged;
    InflateGuard guard{&stream};
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(kChunkSize);
    int result = inflate(&stream, Z_NO_FLUSH);
    *produced = kChunkSize - stream.avail_out;
    // Anything but a complete stream is damage: a truncated stream or one holding more than a chunk
    // would otherwise restore a file of the wrong length without a word.
    return result == Z_STREAM_END ? ExpandResult::Ok : ExpandResult::Damaged;
}

}  // namespace vpk::split
