#include "engine/ziplib/archive_builder.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/platform_error.h"

namespace vpk::zip {
namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

ArchiveBuilder::ArchiveBuilder(const std::string& path) : file_(path, File::Mode::Create) {
    buffer_.reserve(kBufferSize);
}

void ArchiveBuilder::Flush() {
    if (buffer_.empty()) return;
    file_.Write(buffer_.data(), buffer_.size());
    flushed_ += buffer_.size();
    buffer_.clear();
}

void ArchiveBuilder::Write(const void* data, std::size_t size) {
    if (buffer_.size() + size > kBufferSize) Flush();
    if (size >= kBufferSize) {
        file_.Write(data, size);
        flushed_ += size;
    } else {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        buffer_.insert(buffer_.end(), bytes, bytes + size);
    }
    position_ += size;
}

void ArchiveBuilder::Patch(std::uint64_t offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint64_t at = offset + i;
        if (at >= flushed_) {
            buffer_[static_cast<std::size_t>(at - flushed_)] = bytes[i];
        } else {
            // Contiguous run still in the file.
            const std::size_t run =
                static_cast<std::size_t>(std::min<std::uint64_t>(size - i, flushed_ - at));
            file_.WriteAt(bytes + i, run, at);
            i += run - 1;
        }
    }
}

void ArchiveBuilder::CopyFrom(File& input, std::uint64_t offset, std::uint64_t size) {
    // Unchanged entries are copied by the kernel when it can (no round trip through our buffers).
    Flush();
    while (size > 0) {
        loff_t from = static_cast<loff_t>(offset);
        const ssize_t n =
            ::copy_file_range(input.Descriptor(), &from, file_.Descriptor(), nullptr,
                              static_cast<std::size_t>(std::min<std::uint64_t>(size, 1u << 30)), 0);
        if (n <= 0) break;  // not supported here, or the input ended: the plain copy decides
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::uint64_t>(n);
        flushed_ += static_cast<std::uint64_t>(n);
        position_ += static_cast<std::uint64_t>(n);
    }
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(size, kBufferSize)));
    while (size > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, chunk.size()));
        const std::size_t got = input.ReadAt(chunk.data(), want, offset);
        if (got != want) throw PlatformError("unexpected end of the archive being copied: " + input.Path());
        Write(chunk.data(), got);
        offset += got;
        size -= got;
    }
}

void ArchiveBuilder::RollBack(std::uint64_t offset) {
    if (offset >= flushed_) {
        buffer_.resize(static_cast<std::size_t>(offset - flushed_));
    } else {
        buffer_.clear();
        file_.Truncate(offset);
        file_.Seek(offset);
        flushed_ = offset;
    }
    position_ = offset;
}

void ArchiveBuilder::Finish(const std::string& comment) {
    const std::uint64_t directoryOffset = position_;
    std::vector<std::uint8_t> header(kCentralHeaderSize);
    for (auto& record : central_) {
        CentralHeader& h = record.header;
        const bool bigU = record.uncompressedSize >= kZip64Marker32;
        const bool bigC = record.compressedSize >= kZip64Marker32;
        const bool bigO = record.localHeaderOffset >= kZip64Marker32;
        std::string extra = record.extra;
        AppendZip64Extra(extra, bigU, record.uncompressedSize, bigC, record.compressedSize, bigO,
                         record.localHeaderOffset);
        h.uncompressedSize = bigU ? kZip64Marker32 : static_cast<std::uint32_t>(record.uncompressedSize);
        h.compressedSize = bigC ? kZip64Marker32 : static_cast<std::uint32_t>(record.compressedSize);
        h.localHeaderOffset = bigO ? kZip64Marker32 : static_cast<std::uint32_t>(record.localHeaderOffset);
        if (bigU || bigC || bigO) {
            h.versionNeeded = std::max(h.versionNeeded, kVersionZip64);
            h.versionMadeBy = static_cast<std::uint16_t>(
                (h.versionMadeBy & 0xFF00) | std::max<std::uint16_t>(h.versionMadeBy & 0xFF, kVersionZip64));
        }
        h.nameLength = static_cast<std::uint16_t>(record.storedName.size());
        h.extraLength = static_cast<std::uint16_t>(extra.size());
        h.commentLength = static_cast<std::uint16_t>(record.comment.size());
        h.Write(header.data());
        Write(header.data(), header.size());
        Write(record.storedName.data(), record.storedName.size());
        Write(extra.data(), extra.size());
        Write(record.comment.data(), record.comment.size());
    }
    const std::uint64_t directorySize = position_ - directoryOffset;
    const std::uint64_t count = central_.size();
    const bool zip64 =
        count >= kZip64Marker16 || directorySize >= kZip64Marker32 || directoryOffset >= kZip64Marker32;
    if (zip64) {
        Zip64EndRecord record;
        record.entriesOnDisk = record.entriesTotal = count;
        record.directorySize = directorySize;
        record.directoryOffset = directoryOffset;
        Zip64Locator locator;
        locator.endRecordOffset = position_;
        std::uint8_t bytes[kZip64EndRecordSize + kZip64LocatorSize];
        record.Write(bytes);
        locator.Write(bytes + kZip64EndRecordSize);
        Write(bytes, sizeof bytes);
    }
    EndRecord end;
    end.entriesOnDisk = end.entriesTotal =
        count >= kZip64Marker16 ? kZip64Marker16 : static_cast<std::uint16_t>(count);
    end.directorySize =
        directorySize >= kZip64Marker32 ? kZip64Marker32 : static_cast<std::uint32_t>(directorySize);
    end.directoryOffset =
        directoryOffset >= kZip64Marker32 ? kZip64Marker32 : static_cast<std::uint32_t>(directoryOffset);
    const std::size_t commentLength = std::min(comment.size(), kMaxCommentSize);
    end.commentLength = static_cast<std::uint16_t>(commentLength);
    std::uint8_t bytes[kEndRecordSize];
    end.Write(bytes);
    Write(bytes, sizeof bytes);
    Write(comment.data(), commentLength);
    Flush();
    file_.Sync();
    file_.Close();
}

}  // namespace vpk::zip
