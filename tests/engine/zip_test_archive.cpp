#include "zip_test_archive.h"

#include <zlib.h>

#include "engine/zip_format.h"

namespace vpk::test {

namespace {

std::string Bytes(const std::uint8_t* p, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(p), n);
}

}  // namespace

void Patch16(std::string& bytes, std::size_t offset, std::uint16_t value) {
    zip::Put16(reinterpret_cast<std::uint8_t*>(bytes.data() + offset), value);
}

void Patch32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    zip::Put32(reinterpret_cast<std::uint8_t*>(bytes.data() + offset), value);
}

std::string BuildTestArchive(const std::vector<TestEntry>& entries, const TestArchiveOptions& options) {
    std::string out = options.prefix;
    const std::uint64_t base = options.adjustOffsets ? 0 : options.prefix.size();
    std::string central;
    for (const TestEntry& e : entries) {
        const std::uint64_t offset = out.size() - base;
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        std::string extra;
        if (e.zip64) zip::AppendZip64Extra(extra, true, e.data.size(), true, e.data.size(), true, offset);

        zip::LocalHeader local;
        local.versionNeeded = e.zip64 ? zip::kVersionZip64 : zip::kVersionStored;
        local.flags = e.flags;
        local.method = zip::kMethodStored;
        local.dosDateTime = (((2024 - 1980) << 9 | 3 << 5 | 14) << 16) | (12 << 11 | 30 << 5);
        local.crc32 = crc;
        local.compressedSize = local.uncompressedSize =
            e.zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(e.data.size());
        local.nameLength = static_cast<std::uint16_t>(e.name.size());
        local.extraLength = static_cast<std::uint16_t>(extra.size());
        std::uint8_t header[zip::kCentralHeaderSize];
        local.Write(header);
        out += Bytes(header, zip::kLocalHeaderSize) + e.name + extra + e.data;

        zip::CentralHeader c;
        c.versionMadeBy = static_cast<std::uint16_t>(e.host << 8 | e.version);
        c.versionNeeded = local.versionNeeded;
        c.flags = e.flags;
        c.method = zip::kMethodStored;
        c.dosDateTime = local.dosDateTime;
        c.crc32 = crc;
        c.compressedSize = c.uncompressedSize = local.compressedSize;
        c.nameLength = local.nameLength;
        c.extraLength = local.extraLength;
        c.commentLength = static_cast<std::uint16_t>(e.comment.size());
        c.externalAttributes = 0x20;
        c.localHeaderOffset = e.zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(offset);
        c.Write(header);
        std::string centralExtra = extra;
        if (e.zip64 && e.claimedSize != 0) {
            centralExtra.clear();
            zip::AppendZip64Extra(centralExtra, true, e.claimedSize, true, e.claimedSize, true, offset);
        }
        central += Bytes(header, zip::kCentralHeaderSize) + e.name + centralExtra + e.comment;
    }
    const std::uint64_t directoryOffset = out.size() - base;
    out += central;
    zip::EndRecord end;
    end.entriesOnDisk = end.entriesTotal = static_cast<std::uint16_t>(entries.size());
    end.directorySize = static_cast<std::uint32_t>(central.size());
    end.directoryOffset = static_cast<std::uint32_t>(directoryOffset);
    end.commentLength = static_cast<std::uint16_t>(options.comment.size());
    if (options.zip64EndRecord) {
        zip::Zip64EndRecord z;
        z.entriesOnDisk = z.entriesTotal = entries.size();
        z.directorySize = central.size();
        z.directoryOffset = directoryOffset;
        zip::Zip64Locator locator;
        locator.endRecordOffset = out.size() - base;
        std::uint8_t record[zip::kZip64EndRecordSize];
        z.Write(record);
        out += Bytes(record, sizeof record);
        locator.Write(record);
        out += Bytes(record, zip::kZip64LocatorSize);
        end.entriesOnDisk = end.entriesTotal = zip::kZip64Marker16;
        end.directorySize = end.directoryOffset = zip::kZip64Marker32;
    }
    std::uint8_t record[zip::kEndRecordSize];
    end.Write(record);
    return out + Bytes(record, sizeof record) + options.comment;
}

}  // namespace vpk::test
