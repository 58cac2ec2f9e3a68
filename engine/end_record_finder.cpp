#include "engine/end_record_finder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/ezip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"

namespace vpk {

namespace {

constexpr std::string_view kSpanLabelPrefix = "PKBACK# ";
constexpr std::uint64_t kPaddingBlock = 512;

int DiskNumberOfLabel(std::string_view label) {
    if (label.substr(0, kSpanLabelPrefix.size()) != kSpanLabelPrefix) return 0;
    std::string_view digits = label.substr(kSpanLabelPrefix.size(), 3);
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

bool StartsAsFirstPiece(ArchiveSource& source) {
    std::uint8_t head[8];
    if (source.ReadAt(head, sizeof head, 0) != sizeof head) return false;
    return zip::Get32(head) == zip::kSpanMarker && zip::Get32(head + 4) == zip::kLocalHeaderSignature;
}

bool AllZero(ArchiveSource& source, std::uint64_t from, std::uint64_t to) {
    std::uint8_t block[kPaddingBlock];
    while (from < to) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof block, to - from));
        std::size_t got = source.ReadAt(block, want, from);
        if (got != want) return false;
        if (std::any_of(block, block + got, [](std::uint8_t b) { return b != 0; })) return false;
        from += got;
    }
    return true;
}

[[noreturn]] void RaiseNotFound(const EndRecordLocation& where) {
    if (!where.firstPiece) {
        if (where.labelDisk > 0)
            throw EZipEngine(zipmsg::kNthDiskOfSet, static_cast<long long>(where.labelDisk));
        throw EZipEngine(zipmsg::kNotAZipArchive, true);
    }
    if (where.labelDisk == 1) throw EZipEngine(zipmsg::kFirstDiskOfSet, true);
    throw EZipEngine(zipmsg::kFirstFileOfSet, true);
}

// Replaces the 32-bit fields by those of the ZIP64 end record when the archive has one. The record is
// looked for right before the locator first (where it is unless a prefix moved the data without
// adjusting offsets), then at the offset the locator gives.
void ReadZip64Record(ArchiveSource& source, const zip::EndRecord& record, EndRecordLocation& where) {
    if (where.position < zip::kZip64LocatorSize) return;
    std::uint8_t locatorBytes[zip::kZip64LocatorSize];
    const std::uint64_t locatorPos = where.position - zip::kZip64LocatorSize;
    zip::Zip64Locator locator;
    if (source.ReadAt(locatorBytes, sizeof locatorBytes, locatorPos) != sizeof locatorBytes ||
        !locator.Parse(locatorBytes)) {
        if (record.NeedsZip64()) throw EZipEngine(zipmsg::kEndRecordReadError, true);
        return;
    }
    std::uint8_t bytes[zip::kZip64EndRecordSize];
    zip::Zip64EndRecord z64;
    auto tryAt = [&](std::uint64_t pos) {
        if (pos + zip::kZip64EndRecordSize > locatorPos) return false;
        if (source.ReadAt(bytes, sizeof bytes, pos) != sizeof bytes || !z64.Parse(bytes)) return false;
        where.zip64RecordPosition = pos;
        return true;
    };
    const bool found =
        (locatorPos >= zip::kZip64EndRecordSize && tryAt(locatorPos - zip::kZip64EndRecordSize)) ||
        tryAt(locator.endRecordOffset);
    if (!found) {
        if (record.NeedsZip64()) throw EZipEngine(zipmsg::kEndRecordReadError, true);
        return;
    }
    where.zip64 = true;
    where.diskNumber = z64.diskNumber;
    where.directoryDisk = z64.directoryDisk;
    where.entriesTotal = z64.entriesTotal;
    where.directorySize = z64.directorySize;
    where.directoryOffset = z64.directoryOffset;
}

}  // namespace

EndRecordLocation FindEndRecord(ArchiveSource& source, EndRecordMode mode, std::string_view volumeLabel,
                                const std::function<void(int messageId)>& warn) {
    EndRecordLocation where;
    where.labelDisk = DiskNumberOfLabel(volumeLabel);
    where.firstPiece = StartsAsFirstPiece(source);
    where.trueLength = source.Size();
    where.fileEnd = where.trueLength;
    const std::uint64_t length = where.trueLength;

    std::uint8_t tail[zip::kEndRecordSize];
    zip::EndRecord record;
    bool found = false;
    if (length >= zip::kEndRecordSize) {
        if (source.ReadAt(tail, sizeof tail, length - zip::kEndRecordSize) != sizeof tail)
            throw EZipEngine(zipmsg::kEndRecordReadError, true);
        if (record.Parse(tail)) {
            found = true;
            where.position = length - zip::kEndRecordSize;
        }
    }
    if (!found && length > zip::kEndRecordSize) {
        const std::size_t blockSize =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, zip::kMaxEndSearch));
        const std::uint64_t blockStart = length - blockSize;
        std::vector<std::uint8_t> block(blockSize);
        if (source.ReadAt(block.data(), blockSize, blockStart) != blockSize)
            throw EZipEngine(zipmsg::kEndRecordReadError, true);
        for (std::size_t i = blockSize - zip::kEndRecordSize - 1;; --i) {
            if (block[i] == 'P' && block[i + 1] == 'K' && block[i + 2] == 5 && block[i + 3] == 6) {
                record.Parse(&block[i]);
                found = true;
                where.position = blockStart + i;
                break;
            }
            if (i == 0) break;
        }
        if (found) {
            const std::uint64_t recordEnd = where.position + zip::kEndRecordSize + record.commentLength;
            const std::uint64_t commentStart = where.position + zip::kEndRecordSize;
            if (recordEnd < length) {
                where.fileEnd = recordEnd;
                const bool zeroPadding = length % kPaddingBlock == 0 && length - recordEnd < kPaddingBlock &&
                                         AllZero(source, recordEnd, length);
                if (!zeroPadding && warn) warn(zipmsg::kGarbageWarning);
            } else if (recordEnd > length && warn) {
                // The declared comment runs past the end of the file: the file was cut short.
                warn(zipmsg::kStructureWarning);
            }
            const std::size_t available = static_cast<std::size_t>(
                std::min<std::uint64_t>(record.commentLength, length - commentStart));
            std::string comment(available, '\0');
            if (source.ReadAt(comment.data(), available, commentStart) != available)
                throw EZipEngine(zipmsg::kEndRecordReadError, true);
            comment.resize(std::strlen(comment.c_str()));
            where.comment = std::move(comment);
        }
    }
    if (!found) {
        if (mode == EndRecordMode::MustFind) RaiseNotFound(where);
        return where;
    }
    where.found = true;
    where.diskNumber = record.diskNumber;
    where.directoryDisk = record.directoryDisk;
    where.entriesTotal = record.entriesTotal;
    where.directorySize = record.directorySize;
    where.directoryOffset = record.directoryOffset;
    ReadZip64Record(source, record, where);
    return where;
}

}  // namespace vpk
