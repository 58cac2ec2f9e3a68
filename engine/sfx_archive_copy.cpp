#include "engine/sfx_archive_copy.h"

#include <limits>
#include <string>
#include <vector>

#include "engine/zip_format.h"
#include "platform/platform_error.h"

namespace vpk {

namespace {

constexpr std::size_t kCopyBlock = 64 * 1024;

struct CopyFailure {
    ArchiveCopyResult result;
};

// Output in large writes; central headers are small.
class BufferedOutput {
  public:
    explicit BufferedOutput(File& file) : file_(file) {}
    void Write(const void* data, std::size_t size) {
        buffer_.append(static_cast<const char*>(data), size);
        if (buffer_.size() >= kCopyBlock) Flush();
    }
    void Flush() {
        try {
            file_.Write(buffer_.data(), buffer_.size());
        } catch (const PlatformError&) {
            throw CopyFailure{ArchiveCopyResult::WriteFailed};
        }
        buffer_.clear();
    }

  private:
    File& file_;
    std::string buffer_;
};

void ReadExactAt(File& input, void* out, std::size_t size, std::uint64_t offset) {
    std::size_t got = 0;
    try {
        got = input.ReadAt(out, size, offset);
    } catch (const PlatformError&) {
        throw CopyFailure{ArchiveCopyResult::ReadFailed};
    }
    if (got != size) throw CopyFailure{ArchiveCopyResult::ReadFailed};
}

void CopyRange(File& input, std::uint64_t from, std::uint64_t to, BufferedOutput& out) {
    std::vector<char> block(kCopyBlock);
    while (from < to) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), to - from));
        ReadExactAt(input, block.data(), n, from);
        out.Write(block.data(), n);
        from += n;
    }
}

std::uint64_t Shifted(std::uint64_t value, std::int64_t shift, std::uint64_t limit) {
    if (shift < 0 && value < static_cast<std::uint64_t>(-shift))
        throw CopyFailure{ArchiveCopyResult::ReadFailed};
    const std::uint64_t moved = value + static_cast<std::uint64_t>(shift);
    if (moved > limit) throw CopyFailure{ArchiveCopyResult::ReadFailed};
    return moved;
}

// Moves a central header's local header offset, in its 32-bit field or in its ZIP64 extra block.
void ShiftCentralOffset(std::uint8_t* fixed, std::string& extra, std::int64_t shift) {
    const std::uint32_t offset32 = zip::Get32(fixed + 42);
    if (offset32 != zip::kZip64Marker32) {
        // A 32-bit offset that would no longer fit cannot be widened in place.
        zip::Put32(fixed + 42, static_cast<std::uint32_t>(Shifted(offset32, shift, zip::kZip64Marker32 - 1)));
        return;
    }
    const std::uint8_t* data = nullptr;
    std::uint16_t length = 0;
    auto* bytes = reinterpret_cast<std::uint8_t*>(extra.data());
    if (!zip::FindExtraField(bytes, extra.size(), zip::kExtraZip64, &data, &length))
        throw CopyFailure{ArchiveCopyResult::ReadFailed};
    // The offset follows the sizes that are in the block too.
    std::size_t pos = 0;
    if (zip::Get32(fixed + 24) == zip::kZip64Marker32) pos += 8;
    if (zip::Get32(fixed + 20) == zip::kZip64Marker32) pos += 8;
    if (pos + 8 > length) throw CopyFailure{ArchiveCopyResult::ReadFailed};
    auto* field = bytes + (data - bytes) + pos;
    zip::Put64(field, Shifted(zip::Get64(field), shift, std::numeric_limits<std::uint64_t>::max() / 2));
}

}  // namespace

bool DirectoryStartsDiffer(const EndRecordLocation& where) {
    const std::uint64_t directoryEnd = where.zip64 ? where.zip64RecordPosition : where.position;
    return directoryEnd < where.directorySize || directoryEnd - where.directorySize != where.directoryOffset;
}

ArchiveCopyResult CopyFileRange(File& input, std::uint64_t from, File& output) {
    try {
        BufferedOutput out(output);
        std::uint64_t size = 0;
        try {
            size = input.Size();
        } catch (const PlatformError&) {
            return ArchiveCopyResult::ReadFailed;
        }
        CopyRange(input, from, size, out);
        out.Flush();
        return ArchiveCopyResult::Ok;
    } catch (const CopyFailure& failure) {
        return failure.result;
    }
}

ArchiveCopyResult CopyArchiveShifted(File& input, const EndRecordLocation& where, std::uint64_t from,
                                     std::int64_t shift, File& output) {
    try {
        BufferedOutput out(output);
        const std::uint64_t directoryStart = where.directoryOffset;
        if (directoryStart < from) throw CopyFailure{ArchiveCopyResult::ReadFailed};
        CopyRange(input, from, directoryStart, out);

        std::uint64_t position = directoryStart;
        for (std::uint64_t i = 0; i < where.entriesTotal; ++i) {
            std::uint8_t fixed[zip::kCentralHeaderSize];
            ReadExactAt(input, fixed, sizeof fixed, position);
            if (zip::Get32(fixed) != zip::kCentralHeaderSignature)
                throw CopyFailure{ArchiveCopyResult::ReadFailed};
            const std::size_t nameLength = zip::Get16(fixed + 28);
            const std::size_t extraLength = zip::Get16(fixed + 30);
            const std::size_t commentLength = zip::Get16(fixed + 32);
            std::string name(nameLength, '\0'), extra(extraLength, '\0'), comment(commentLength, '\0');
            position += sizeof fixed;
            ReadExactAt(input, name.data(), nameLength, position);
            ReadExactAt(input, extra.data(), extraLength, position + nameLength);
            ReadExactAt(input, comment.data(), commentLength, position + nameLength + extraLength);
            position += nameLength + extraLength + commentLength;
            ShiftCentralOffset(fixed, extra, shift);
            out.Write(fixed, sizeof fixed);
            out.Write(name.data(), nameLength);
            out.Write(extra.data(), extraLength);
            out.Write(comment.data(), commentLength);
        }

        if (where.zip64) {
            // ZIP64 end record (with any extensible data), then its locator, right before the end record.
            std::vector<std::uint8_t> records(
                static_cast<std::size_t>(where.position - where.zip64RecordPosition));
            if (records.size() < zip::kZip64EndRecordSize + zip::kZip64LocatorSize)
                throw CopyFailure{ArchiveCopyResult::ReadFailed};
            ReadExactAt(input, records.data(), records.size(), where.zip64RecordPosition);
            constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max() / 2;
            zip::Put64(&records[48], Shifted(zip::Get64(&records[48]), shift, kLimit));
            std::uint8_t* locator = &records[records.size() - zip::kZip64LocatorSize];
            if (zip::Get32(locator) != zip::kZip64LocatorSignature)
                throw CopyFailure{ArchiveCopyResult::ReadFailed};
            zip::Put64(locator + 8, Shifted(zip::Get64(locator + 8), shift, kLimit));
            if (where.zip64RecordPosition != position)
                CopyRange(input, position, where.zip64RecordPosition, out);
            out.Write(records.data(), records.size());
        } else if (position != where.position) {
            throw CopyFailure{ArchiveCopyResult::ReadFailed};
        }

        std::uint8_t record[zip::kEndRecordSize];
        ReadExactAt(input, record, sizeof record, where.position);
        const std::uint32_t offset32 = zip::Get32(record + 16);
        if (offset32 != zip::kZip64Marker32)
            zip::Put32(record + 16,
                       static_cast<std::uint32_t>(Shifted(offset32, shift, zip::kZip64Marker32 - 1)));
        out.Write(record, sizeof record);
        CopyRange(input, where.position + zip::kEndRecordSize, where.fileEnd, out);
        out.Flush();
        return ArchiveCopyResult::Ok;
    } catch (const CopyFailure& failure) {
        return failure.result;
    } catch (const std::bad_alloc&) {
        return ArchiveCopyResult::OutOfMemory;
    }
}

}  // namespace vpk
