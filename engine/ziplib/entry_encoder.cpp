#include "engine/ziplib/entry_encoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <string_view>

#include "engine/zip_crypto.h"
#include "engine/zip_format.h"
#include "engine/zip_names.h"
#include "platform/file.h"
#include "platform/platform_error.h"

namespace vpk::zip {
namespace {

constexpr std::size_t kStreamChunk = 1 << 20;

std::uint16_t LevelFlags(int level) {
    if (level >= 8) return kFlagDeflateMax;
    if (level <= 2) return kFlagDeflateFast;
    return 0;
}

// libdeflate's own levels for ours: its first two levels trade too much size for speed (level 3 is
// smaller than the usual fast deflate at little cost), so the fast end starts higher.
int LibdeflateLevel(int level) {
    static constexpr int kLevels[10] = {0, 3, 4, 5, 5, 6, 6, 7, 8, 9};
    return kLevels[std::clamp(level, 0, 9)];
}

libdeflate_compressor* ThreadCompressor(int level) {
    struct Cache {
        libdeflate_compressor* byLevel[13] = {};
        ~Cache() {
            for (auto* c : byLevel)
                if (c) libdeflate_free_compressor(c);
        }
    };
    thread_local Cache cache;
    auto*& compressor = cache.byLevel[level];
    if (!compressor) compressor = libdeflate_alloc_compressor(level);
    return compressor;
}

CentralRecord MakeCentral(const SourceFile& file, const StoredName& name, std::uint16_t flags,
                          std::uint16_t method, std::uint32_t crc, std::uint64_t usize, std::uint64_t csize,
                          std::uint64_t offset) {
    CentralRecord record;
    CentralHeader& h = record.header;
    h.versionMadeBy = static_cast<std::uint16_t>((kHostDos << 8) | kVersionDeflated);
    h.versionNeeded =
        file.isFolder ? kVersionFolder : (method == kMethodStored ? kVersionStored : kVersionDeflated);
    h.flags = flags;
    h.method = method;
    h.dosDateTime = file.dosDateTime;
    h.crc32 = crc;
    h.externalAttributes = file.attributes & 0x3F;
    record.storedName = name.bytes;
    record.uncompressedSize = usize;
    record.compressedSize = csize;
    record.localHeaderOffset = offset;
    return record;
}

// Data in a format that is itself entropy-coded (gzip, bzip2, xz, zstd, 7z) does not shrink: it is
// stored without an attempt. Formats that may hold stored parts (zip, png) are still tried.
bool LooksCompressed(const std::uint8_t* data, std::size_t size) {
    static constexpr std::string_view kSignatures[] = {
        {"\x1f\x8b\x08", 3}, {"\xfd" "7zXZ\0", 6}, {"\x28\xb5\x2f\xfd", 4}, {"7z\xbc\xaf\x27\x1c", 6}};
    const std::string_view head(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 10));
    // bzip2: "BZh", the block size digit, then the magic of the first block.
    if (head.size() == 10 && head.starts_with("BZh") && head[3] >= '1' && head[3] <= '9' &&
        head.substr(4) == "1AY&SY")
        return true;
    return std::any_of(std::begin(kSignatures), std::end(kSignatures),
                       [&](std::string_view signature) { return head.starts_with(signature); });
}

struct ChunkOutput {
    std::vector<std::uint8_t> bytes;
    bool stored = false;
};

// Stored blocks (not final) for data deflate could not shrink.
void AppendStoredBlocks(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
    do {
        const std::size_t n = std::min<std::size_t>(size, 65535);
        const std::uint8_t header[5] = {0x00, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                        static_cast<std::uint8_t>(~n), static_cast<std::uint8_t>(~n >> 8)};
        out.insert(out.end(), header, header + 5);
        out.insert(out.end(), data, data + n);
        data += n;
        size -= n;
    } while (size > 0);
}

ChunkOutput CompressChunk(const std::vector<std::uint8_t>& chunk, const std::vector<std::uint8_t>& dictionary,
                          int level, bool attempt) {
    ChunkOutput result;
    if (attempt) {
        z_stream zs{};
        if (deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::bad_alloc();
        if (!dictionary.empty())
            deflateSetDictionary(&zs, dictionary.data(), static_cast<uInt>(dictionary.size()));
        result.bytes.resize(deflateBound(&zs, chunk.size()) + 16);
        zs.next_in = const_cast<std::uint8_t*>(chunk.data());
        zs.avail_in = static_cast<uInt>(chunk.size());
        zs.next_out = result.bytes.data();
        zs.avail_out = static_cast<uInt>(result.bytes.size());
        const int rc = ::deflate(&zs, Z_SYNC_FLUSH);
        result.bytes.resize(result.bytes.size() - zs.avail_out);
        deflateEnd(&zs);
        if (rc == Z_OK && zs.avail_in == 0 && result.bytes.size() < chunk.size()) return result;
    }
    result.bytes.clear();
    result.stored = true;
    AppendStoredBlocks(chunk.data(), chunk.size(), result.bytes);
    return result;
}

}  // namespace

EncodedEntry EncodeBuffered(const SourceFile& file, const EncodeSettings& settings, ByteBuffer& data) {
    EncodedEntry entry;
    data.Resize(0);
    if (file.isFolder) return entry;
    // One read buffer per worker, kept from file to file; only the bytes read are ever touched.
    thread_local ByteBuffer input;
    try {
        File in(file.hostPath.empty() ? file.path : file.hostPath, File::Mode::Read);
        // The size may have changed since the folder was scanned: what is there now is stored, bounded.
        input.Resize(0);
        input.Resize(static_cast<std::size_t>(kBufferedLimit));
        input.Resize(in.Read(input.data(), input.size()));
    } catch (const std::exception& e) {
        entry.error = e.what();
        return entry;
    }
    entry.uncompressedSize = input.size();
    entry.crc32 = static_cast<std::uint32_t>(libdeflate_crc32(0, input.data(), input.size()));
    const std::size_t header = settings.password ? kEncryptionHeaderSize : 0;
    bool deflated = false;
    if (!settings.store && settings.level > 0 && !input.empty() && !LooksCompressed(input.data(), input.size())) {
        auto* compressor = ThreadCompressor(LibdeflateLevel(settings.level));
        const std::size_t bound = libdeflate_deflate_compress_bound(compressor, input.size());
        data.Resize(header + bound);
        const std::size_t size =
            libdeflate_deflate_compress(compressor, input.data(), input.size(), data.data() + header, bound);
        // Data that does not shrink is stored: smaller archive, faster extraction.
        if (size > 0 && size < input.size()) {
            data.Resize(header + size);
            deflated = true;
        }
    }
    if (!deflated) {
        data.Resize(header + input.size());
        if (!input.empty()) std::memcpy(data.data() + header, input.data(), input.size());  // an empty file: no buffer
    }
    entry.method = deflated ? kMethodDeflated : kMethodStored;
    entry.flags = deflated ? LevelFlags(settings.level) : 0;
    if (settings.password) {
        ZipCrypto crypto(*settings.password);
        crypto.MakeHeader(data.data(), static_cast<std::uint8_t>(entry.crc32 >> 24));
        crypto.Encrypt(data.data() + header, data.size() - header);
        entry.flags |= kFlagEncrypted;
    }
    entry.compressedSize = data.size();
    return entry;
}

CentralRecord WriteEncoded(ArchiveBuilder& out, const SourceFile& file, const std::string& entryName,
                           const EncodedEntry& entry, const ByteBuffer& data) {
    const StoredName name = EncodeEntryName(entryName);
    const std::uint16_t flags = static_cast<std::uint16_t>(entry.flags | (name.utf8 ? kFlagUtf8 : 0));
    LocalHeader local;
    local.versionNeeded =
        file.isFolder ? kVersionFolder : (entry.method == kMethodStored ? kVersionStored : kVersionDeflated);
    local.flags = flags;
    local.method = entry.method;
    local.dosDateTime = file.dosDateTime;
    local.crc32 = entry.crc32;
    local.compressedSize = static_cast<std::uint32_t>(entry.compressedSize);
    local.uncompressedSize = static_cast<std::uint32_t>(entry.uncompressedSize);
    local.nameLength = static_cast<std::uint16_t>(name.bytes.size());
    const std::uint64_t offset = out.Position();
    std::uint8_t bytes[kLocalHeaderSize];
    local.Write(bytes);
    out.Write(bytes, sizeof bytes);
    out.Write(name.bytes.data(), name.bytes.size());
    out.Write(data.data(), data.size());
    return MakeCentral(file, name, flags, entry.method, entry.crc32, entry.uncompressedSize,
                       entry.compressedSize, offset);
}

std::optional<CentralRecord> EncodeStreamed(ArchiveBuilder& out, const SourceFile& file,
                                            const std::string& entryName, const EncodeSettings& settings,
                                            CallbackChannel& channel, WorkerPool& pool, std::string& error) {
    File in;
    try {
        in.Open(file.hostPath.empty() ? file.path : file.hostPath, File::Mode::Read);
    } catch (const PlatformError& e) {
        error = e.what();
        return std::nullopt;
    }
    const StoredName name = EncodeEntryName(entryName);
    const bool deflate = !settings.store && settings.level > 0;
    // Sizes that may reach 4 GiB need the ZIP64 extra in the local header, decided before the data.
    const bool zip64 = file.size >= 0xFFFF0000ull;
    const bool encrypted = settings.password.has_value();
    std::uint16_t flags =
        static_cast<std::uint16_t>((name.utf8 ? kFlagUtf8 : 0) | (deflate ? LevelFlags(settings.level) : 0));
    // Encrypted data is written before its CRC is known: the check byte comes from the time and the
    // CRC and sizes follow in a data descriptor.
    if (encrypted) flags |= kFlagEncrypted | kFlagDataDescriptor;
    const std::uint16_t method = deflate ? kMethodDeflated : kMethodStored;

    const std::uint64_t offset = out.Position();
    LocalHeader local;
    local.versionNeeded = zip64 ? kVersionZip64 : (deflate ? kVersionDeflated : kVersionStored);
    local.flags = flags;
    local.method = method;
    local.dosDateTime = file.dosDateTime;
    local.nameLength = static_cast<std::uint16_t>(name.bytes.size());
    std::string extra;
    if (zip64) {
        local.compressedSize = local.uncompressedSize = kZip64Marker32;
        AppendZip64Extra(extra, true, 0, true, 0, false, 0);
    }
    local.extraLength = static_cast<std::uint16_t>(extra.size());
    std::uint8_t bytes[kLocalHeaderSize];
    local.Write(bytes);
    out.Write(bytes, sizeof bytes);
    out.Write(name.bytes.data(), name.bytes.size());
    out.Write(extra.data(), extra.size());

    std::optional<ZipCrypto> crypto;
    std::uint64_t compressed = 0;
    if (encrypted) {
        crypto.emplace(*settings.password);
        std::uint8_t header[kEncryptionHeaderSize];
        crypto->MakeHeader(header, static_cast<std::uint8_t>(file.dosDateTime >> 8));
        out.Write(header, sizeof header);
        compressed += sizeof header;
    }

    std::vector<std::uint8_t> input(kStreamChunk);
    std::uint32_t crc = 0;
    std::uint64_t total = 0;
    auto emit = [&](std::uint8_t* data, std::size_t size) {
        if (crypto) crypto->Encrypt(data, size);
        out.Write(data, size);
        compressed += size;
    };
    auto readChunk = [&](std::uint8_t* data, std::size_t size, std::size_t& got) {
        try {
            got = 0;
            while (got < size) {
                const std::size_t n = in.Read(data + got, size - got);
                if (n == 0) break;
                got += n;
            }
            return true;
        } catch (const PlatformError& e) {
            error = e.what();
            out.RollBack(offset);
            return false;
        }
    };
    if (!deflate) {
        for (;;) {
            std::size_t got = 0;
            if (!readChunk(input.data(), input.size(), got)) return std::nullopt;
            if (got == 0) break;
            crc = static_cast<std::uint32_t>(libdeflate_crc32(crc, input.data(), got));
            total += got;
            emit(input.data(), got);
            if (!channel.BytesDone(got)) {
                out.RollBack(offset);
                return std::nullopt;
            }
        }
    } else {
        // Chunks are compressed in parallel, each primed with the 32 KiB before it and ended by a sync
        // flush, so that their concatenation is one deflate stream.
        const std::size_t window = 2 * pool.Size() + 2;
        std::deque<std::pair<std::future<ChunkOutput>, std::size_t>> inflight;
        std::vector<std::uint8_t> dictionary;
        int incompressibleRun = 0;
        std::uint64_t chunkIndex = 0;
        auto drainOne = [&] {
            ChunkOutput chunk = inflight.front().first.get();
            const std::size_t raw = inflight.front().second;
            inflight.pop_front();
            incompressibleRun = chunk.stored ? incompressibleRun + 1 : 0;
            emit(chunk.bytes.data(), chunk.bytes.size());
            return channel.BytesDone(raw);
        };
        for (;;) {
            auto chunk = std::make_shared<std::vector<std::uint8_t>>(kStreamChunk);
            std::size_t got = 0;
            if (!readChunk(chunk->data(), chunk->size(), got)) return std::nullopt;
            if (got == 0) break;
            chunk->resize(got);
            crc = static_cast<std::uint32_t>(libdeflate_crc32(crc, chunk->data(), got));
            if (chunkIndex == 0 && LooksCompressed(chunk->data(), got)) incompressibleRun = 2;
            total += got;
            // Data that did not shrink lately is stored without trying, with a retry now and then.
            const bool attempt = incompressibleRun < 2 || chunkIndex % 16 == 0;
            ++chunkIndex;
            auto dict = std::make_shared<std::vector<std::uint8_t>>(std::move(dictionary));
            const std::size_t keep = std::min<std::size_t>(got, 32768);
            dictionary.assign(chunk->end() - static_cast<std::ptrdiff_t>(keep), chunk->end());
            const int level = settings.level;
            inflight.emplace_back(pool.Submit([chunk, dict, level, attempt] {
                return CompressChunk(*chunk, *dict, level, attempt);
            }),
                                  got);
            if (inflight.size() >= window && !drainOne()) {
                out.RollBack(offset);
                return std::nullopt;
            }
        }
        while (!inflight.empty())
            if (!drainOne()) {
                out.RollBack(offset);
                return std::nullopt;
            }
        // A final empty block with fixed codes closes the stream.
        std::uint8_t last[2] = {0x03, 0x00};
        emit(last, sizeof last);
    }
    if (!zip64 && (total >= kZip64Marker32 || compressed >= kZip64Marker32)) {
        // The file grew past 4 GiB while it was read: its local header cannot describe it.
        error = "the file grew beyond 4 GiB while it was stored";
        out.RollBack(offset);
        return std::nullopt;
    }
    if (encrypted) {
        std::uint8_t descriptor[24];
        Put32(descriptor, kDataDescriptorSignature);
        Put32(descriptor + 4, crc);
        std::size_t size = 16;
        if (zip64) {
            Put64(descriptor + 8, compressed);
            Put64(descriptor + 16, total);
            size = 24;
        } else {
            Put32(descriptor + 8, static_cast<std::uint32_t>(compressed));
            Put32(descriptor + 12, static_cast<std::uint32_t>(total));
        }
        out.Write(descriptor, size);
    } else {
        std::uint8_t fields[12];
        Put32(fields, crc);
        Put32(fields + 4, zip64 ? kZip64Marker32 : static_cast<std::uint32_t>(compressed));
        Put32(fields + 8, zip64 ? kZip64Marker32 : static_cast<std::uint32_t>(total));
        out.Patch(offset + 14, fields, sizeof fields);
        if (zip64) {
            std::uint8_t sizes[16];
            Put64(sizes, total);
            Put64(sizes + 8, compressed);
            out.Patch(offset + kLocalHeaderSize + name.bytes.size() + 4, sizes, sizeof sizes);
        }
    }
    return MakeCentral(file, name, flags, method, crc, total, compressed, offset);
}

}  // namespace vpk::zip
