#include "engine/unziplib/entry_decoder.h"

#include <libdeflate.h>
#include <zlib.h>

#include <memory>

#include "engine/zip_crypto.h"

namespace vpk::zip {
namespace {

constexpr std::size_t kChunk = 1 << 20;

libdeflate_decompressor* ThreadDecompressor() {
    struct Holder {
        libdeflate_decompressor* d = libdeflate_alloc_decompressor();
        ~Holder() { libdeflate_free_decompressor(d); }
    };
    thread_local Holder holder;
    return holder.d;
}

// The check byte of the encryption header: the CRC's high byte, or the time's with a data descriptor.
std::uint8_t CheckByte(const ArchiveEntry& entry) {
    if (entry.header.flags & kFlagDataDescriptor)
        return static_cast<std::uint8_t>(entry.header.dosDateTime >> 8);
    return static_cast<std::uint8_t>(entry.header.crc32 >> 24);
}

DecodeResult Precheck(const ArchiveEntry& entry, const std::optional<std::string>& password) {
    DecodeResult result;
    if (entry.header.method != kMethodStored && entry.header.method != kMethodDeflated) {
        result.status = DecodeStatus::UnknownMethod;
        result.error = "unsupported compression method " + std::to_string(entry.header.method);
    } else if (entry.header.flags & kFlagStrongEncryption) {
        result.status = DecodeStatus::UnknownMethod;
        result.error = "unsupported encryption";
    } else if (entry.Encrypted() && (!password || entry.values.compressedSize < kEncryptionHeaderSize)) {
        result.status = DecodeStatus::BadPassword;
    }
    return result;
}

}  // namespace

DecodeResult DecodeBuffered(File& archive, const ArchiveEntry& entry, const EntryData& where,
                            const std::optional<std::string>& password, std::vector<std::uint8_t>& output) {
    DecodeResult result = Precheck(entry, password);
    if (result.status != DecodeStatus::Ok) return result;
    std::vector<std::uint8_t> input(static_cast<std::size_t>(where.compressedSize));
    if (archive.ReadAt(input.data(), input.size(), where.dataOffset) != input.size()) {
        result.status = DecodeStatus::Damaged;
        result.error = "the entry's data is cut short";
        return result;
    }
    std::size_t skip = 0;
    if (entry.Encrypted()) {
        ZipCrypto crypto(*password);
        if (!crypto.CheckHeader(input.data(), CheckByte(entry))) {
            result.status = DecodeStatus::BadPassword;
            return result;
        }
        crypto.Decrypt(input.data() + kEncryptionHeaderSize, input.size() - kEncryptionHeaderSize);
        skip = kEncryptionHeaderSize;
    }
    const std::size_t expected = static_cast<std::size_t>(entry.values.uncompressedSize);
    if (entry.header.method == kMethodStored) {
        output.assign(input.begin() + static_cast<std::ptrdiff_t>(skip), input.end());
        if (output.size() != expected) {
            result.status = DecodeStatus::Damaged;
            result.error = "the stored sizes disagree";
            return result;
        }
    } else {
        output.resize(expected);
        std::size_t actual = 0;
        const auto rc =
            libdeflate_deflate_decompress(ThreadDecompressor(), input.data() + skip, input.size() - skip,
                                          output.data(), output.size(), &actual);
        if (rc != LIBDEFLATE_SUCCESS || actual != expected) {
            result.status = entry.Encrypted() ? DecodeStatus::BadPassword : DecodeStatus::Damaged;
            result.error = "the compressed data is damaged or its size is wrong";
            return result;
        }
    }
    result.crc32 = static_cast<std::uint32_t>(libdeflate_crc32(0, output.data(), output.size()));
    if (result.crc32 != entry.header.crc32) result.status = DecodeStatus::CrcMismatch;
    return result;
}

DecodeResult DecodeStreamed(File& archive, const ArchiveEntry& entry, const EntryData& where,
                            const std::optional<std::string>& password,
                            const std::function<bool(const std::uint8_t*, std::size_t)>& sink) {
    DecodeResult result = Precheck(entry, password);
    if (result.status != DecodeStatus::Ok) return result;
    std::uint64_t position = where.dataOffset;
    std::uint64_t left = where.compressedSize;
    std::optional<ZipCrypto> crypto;
    if (entry.Encrypted()) {
        std::uint8_t header[kEncryptionHeaderSize];
        crypto.emplace(*password);
        if (archive.ReadAt(header, sizeof header, position) != sizeof header ||
            !crypto->CheckHeader(header, CheckByte(entry))) {
            result.status = DecodeStatus::BadPassword;
            return result;
        }
        position += sizeof header;
        left -= sizeof header;
    }
    const bool deflated = entry.header.method == kMethodDeflated;
    z_stream zs{};
    std::unique_ptr<z_stream, void (*)(z_stream*)> guard(nullptr, [](z_stream* s) { inflateEnd(s); });
    if (deflated) {
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
        guard.reset(&zs);
    }
    std::vector<std::uint8_t> input(kChunk), output(kChunk);
    std::uint32_t crc = 0;
    std::uint64_t produced = 0;
    bool ended = !deflated;
    auto deliver = [&](const std::uint8_t* data, std::size_t size) {
        crc = static_cast<std::uint32_t>(libdeflate_crc32(crc, data, size));
        produced += size;
        return !sink || sink(data, size);
    };
    while (left > 0 && !(deflated && ended)) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, input.size()));
        if (archive.ReadAt(input.data(), want, position) != want) {
            result.status = DecodeStatus::Damaged;
            result.error = "the entry's data is cut short";
            return result;
        }
        position += want;
        left -= want;
        if (crypto) crypto->Decrypt(input.data(), want);
        if (!deflated) {
            if (!deliver(input.data(), want)) return {DecodeStatus::Stopped, crc, {}};
            continue;
        }
        zs.next_in = input.data();
        zs.avail_in = static_cast<uInt>(want);
        while (zs.avail_in > 0 && !ended) {
            zs.next_out = output.data();
            zs.avail_out = static_cast<uInt>(output.size());
            const int rc = ::inflate(&zs, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) {
                result.status = crypto ? DecodeStatus::BadPassword : DecodeStatus::Damaged;
                result.error = "the compressed data is damaged";
                return result;
            }
            ended = rc == Z_STREAM_END;
            if (!deliver(output.data(), output.size() - zs.avail_out))
                return {DecodeStatus::Stopped, crc, {}};
        }
        // Flush whatever zlib still holds once all input is in.
        while (left == 0 && !ended) {
            zs.next_out = output.data();
            zs.avail_out = static_cast<uInt>(output.size());
            const int rc = ::inflate(&zs, Z_NO_FLUSH);
            if (rc == Z_BUF_ERROR || (rc != Z_OK && rc != Z_STREAM_END)) break;
            ended = rc == Z_STREAM_END;
            if (!deliver(output.data(), output.size() - zs.avail_out))
                return {DecodeStatus::Stopped, crc, {}};
        }
    }
    result.crc32 = crc;
    if ((deflated && !ended) || produced != entry.values.uncompressedSize) {
        result.status = DecodeStatus::Damaged;
        result.error = "the entry's sizes are wrong";
    } else if (crc != entry.header.crc32) {
        result.status = DecodeStatus::CrcMismatch;
    }
    return result;
}

}  // namespace vpk::zip
