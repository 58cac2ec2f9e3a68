#include "repair/central_directory_writer.h"

#include <string>

#include "engine/zip_format.h"

namespace vpk {

namespace {

bool Beyond32(std::uint64_t value) {
    return value >= zip::kZip64Marker32;
}

std::uint32_t Field32(std::uint64_t value) {
    return Beyond32(value) ? zip::kZip64Marker32 : static_cast<std::uint32_t>(value);
}

void AppendCentralHeader(std::string& out, const TFileInfo& entry) {
    std::string extra;
    zip::AppendZip64Extra(extra, Beyond32(entry.uncompressedSize), entry.uncompressedSize,
                          Beyond32(entry.compressedSize), entry.compressedSize,
                          Beyond32(entry.localHeaderOffset), entry.localHeaderOffset);
    zip::CentralHeader header;
    header.versionMadeBy = 0;
    header.versionNeeded = entry.versionNeeded;
    // A reader needs ZIP64 support to read this header at all.
    if (!extra.empty() && header.versionNeeded < zip::kVersionZip64)
        header.versionNeeded = zip::kVersionZip64;
    header.flags = entry.flags;
    header.method = entry.method;
    header.dosDateTime = entry.dosDateTime;
    header.crc32 = entry.crc32;
    header.compressedSize = Field32(entry.compressedSize);
    header.uncompressedSize = Field32(entry.uncompressedSize);
    header.nameLength = static_cast<std::uint16_t>(entry.name.size());
    header.extraLength = static_cast<std::uint16_t>(extra.size());
    header.localHeaderOffset = Field32(entry.localHeaderOffset);
    std::uint8_t fixed[zip::kCentralHeaderSize];
    header.Write(fixed);
    out.append(reinterpret_cast<const char*>(fixed), sizeof fixed);
    out.append(entry.name);
    out.append(extra);
}

}  // namespace

void WriteCentralDirectory(RepairSink& sink, const std::vector<TFileInfo>& entries,
                           std::uint64_t directoryOffset) {
    constexpr std::size_t kChunk = 64 * 1024;
    std::string buffer;
    std::uint64_t directorySize = 0;
    for (const auto& entry : entries) {
        AppendCentralHeader(buffer, entry);
        if (buffer.size() >= kChunk) {
            directorySize += buffer.size();
            sink.Write(buffer.data(), buffer.size());
            buffer.clear();
        }
    }
    directorySize += buffer.size();

    const std::uint64_t count = entries.size();
    const bool countBeyond16 = count >= zip::kZip64Marker16;
    const bool needsZip64 = countBeyond16 || Beyond32(directorySize) || Beyond32(directoryOffset);
    if (needsZip64) {
        zip::Zip64EndRecord record64;
        record64.entriesOnDisk = count;
        record64.entriesTotal = count;
        record64.directorySize = directorySize;
        record64.directoryOffset = directoryOffset;
        zip::Zip64Locator locator;
        locator.endRecordOffset = directoryOffset + directorySize;
        std::uint8_t bytes[zip::kZip64EndRecordSize + zip::kZip64LocatorSize];
        record64.Write(bytes);
        locator.Write(bytes + zip::kZip64EndRecordSize);
        buffer.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    zip::EndRecord end;
    const auto count16 = countBeyond16 ? zip::kZip64Marker16 : static_cast<std::uint16_t>(count);
    end.entriesOnDisk = count16;
    end.entriesTotal = count16;
    end.directorySize = Field32(directorySize);
    end.directoryOffset = Field32(directoryOffset);
    std::uint8_t endBytes[zip::kEndRecordSize];
    end.Write(endBytes);
    buffer.append(reinterpret_cast<const char*>(endBytes), sizeof endBytes);
    sink.Write(buffer.data(), buffer.size());
}

}  // namespace vpk
