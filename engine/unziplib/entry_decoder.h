#pragma once
// Expansion (and decryption) of one entry's data with its CRC check. Entries up to a bounded size are
// expanded in memory with libdeflate on a worker thread; larger ones are streamed through zlib.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/zip_archive_reader.h"

namespace vpk::zip {

inline constexpr std::uint64_t kDecodeBufferedLimit = 8u << 20;

enum class DecodeStatus { Ok, BadPassword, CrcMismatch, Damaged, UnknownMethod, Stopped, WriteFailed };

struct DecodeResult {
    DecodeStatus status = DecodeStatus::Ok;
    std::uint32_t crc32 = 0;  // of what was expanded
    std::string error;
};

// Worker-safe: reads the entry's data with pread, expands it into output.
DecodeResult DecodeBuffered(File& archive, const ArchiveEntry& entry, const EntryData& where,
                            const std::optional<std::string>& password, std::vector<std::uint8_t>& output);

// Streams the entry through sink (null sink: test only), chunk by chunk. sink returns false to stop
// (a stop request); a throwing sink reports a write failure.
DecodeResult DecodeStreamed(File& archive, const ArchiveEntry& entry, const EntryData& where,
                            const std::optional<std::string>& password,
                            const std::function<bool(const std::uint8_t*, std::size_t)>& sink);

}  // namespace vpk::zip
