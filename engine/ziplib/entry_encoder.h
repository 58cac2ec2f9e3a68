#pragma once
// Compression (and encryption) of one file into entry data. Small files are read whole and compressed
// with libdeflate on a worker thread; larger ones are streamed in 1 MiB chunks that zlib compresses on
// the workers and the calling thread writes in order, so memory stays bounded whatever the file size.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/zip_byte_buffer.h"
#include "engine/zip_callback_channel.h"
#include "engine/zip_worker_pool.h"
#include "engine/ziplib/archive_builder.h"
#include "engine/ziplib/source_collector.h"

namespace vpk::zip {

// Files up to this size are compressed in one piece on a worker thread (with the read-ahead bound of
// the pipeline, memory stays well under 100 MB).
inline constexpr std::uint64_t kBufferedLimit = 16u << 20;

struct EncodeSettings {
    int level = 6;       // 0: stored
    bool store = false;  // stored whatever the level (a store suffix)
    std::optional<std::string> password;
};

struct EncodedEntry {
    std::string error;  // not empty: the file could not be read; nothing was written
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint32_t crc32 = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;
};

// Worker-safe: reads the file and produces the entry data (with its encryption header) in data.
EncodedEntry EncodeBuffered(const SourceFile& file, const EncodeSettings& settings, ByteBuffer& data);

// Writes the local header and data of an already encoded entry; returns the central record.
CentralRecord WriteEncoded(ArchiveBuilder& out, const SourceFile& file, const std::string& entryName,
                           const EncodedEntry& entry, const ByteBuffer& data);

// Streams a large file into the archive (local header, data, descriptor), reporting BytesDone as it
// goes. On a read failure the partial entry is rolled back and error is set; on a stop request the
// result is nullopt.
std::optional<CentralRecord> EncodeStreamed(ArchiveBuilder& out, const SourceFile& file,
                                            const std::string& entryName, const EncodeSettings& settings,
                                            CallbackChannel& channel, WorkerPool& pool, std::string& error);

}  // namespace vpk::zip
