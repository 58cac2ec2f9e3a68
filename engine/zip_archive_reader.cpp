#include "engine/zip_archive_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/zip_names.h"

namespace vpk::zip {

ZipArchiveReader::ZipArchiveReader(std::string_view path) : file_(path, File::Mode::Read) {
    fileSize_ = file_.Size();
    ReadEndRecord();
    ReadDirectory();
}

void ZipArchiveReader::ReadEndRecord() {
    if (fileSize_ < kEndRecordSize) throw ZipFormatError("not a ZIP archive (too short): " + file_.Path());
    const std::size_t window = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize_, kMaxEndSearch));
    std::vector<std::uint8_t> tail(window);
    const std::uint64_t tailStart = fileSize_ - window;
    if (file_.ReadAt(tail.data(), window, tailStart) != window)
        throw ZipFormatError("cannot read the end of the archive: " + file_.Path());
    std::size_t hit = std::string::npos;
    for (std::size_t pos = window - kEndRecordSize + 1; pos-- > 0;) {
        if (Get32(tail.data() + pos) == kEndRecordSignature) {
            hit = pos;
            break;
        }
    }
    if (hit == std::string::npos) throw ZipFormatError("not a ZIP archive (no end record): " + file_.Path());
    EndRecord end;
    end.Parse(tail.data() + hit);
    const std::size_t commentBytes = std::min<std::size_t>(end.commentLength, window - hit - kEndRecordSize);
    comment_.assign(reinterpret_cast<const char*>(tail.data() + hit + kEndRecordSize), commentBytes);
    const std::uint64_t endPos = tailStart + hit;
    if (end.diskNumber != 0 && end.diskNumber != kZip64Marker16)
        throw ZipFormatError("a multi-disk archive must be joined first: " + file_.Path());

    std::uint64_t recordedOffset = end.directoryOffset;
    directorySize_ = end.directorySize;
    entryCount_ = end.entriesTotal;
    std::uint64_t directoryEnd = endPos;  // where the directory is followed by the end records
    if (endPos >= kZip64LocatorSize) {
        std::uint8_t locatorBytes[kZip64LocatorSize];
        Zip64Locator locator;
        if (file_.ReadAt(locatorBytes, sizeof locatorBytes, endPos - kZip64LocatorSize) ==
                sizeof locatorBytes &&
            locator.Parse(locatorBytes)) {
            // The recorded offset may be off by a prefix; the ZIP64 record sits right before the locator.
            const std::uint64_t z64Pos = endPos - kZip64LocatorSize - kZip64EndRecordSize;
            std::uint8_t recordBytes[kZip64EndRecordSize];
            Zip64EndRecord z64;
            if (endPos < kZip64LocatorSize + kZip64EndRecordSize ||
                file_.ReadAt(recordBytes, sizeof recordBytes, z64Pos) != sizeof recordBytes ||
                !z64.Parse(recordBytes))
                throw ZipFormatError("damaged ZIP64 end record: " + file_.Path());
            recordedOffset = z64.directoryOffset;
            directorySize_ = z64.directorySize;
            entryCount_ = z64.entriesTotal;
            directoryEnd = z64Pos;
        }
    }
    if (directorySize_ > directoryEnd)
        throw ZipFormatError("the central directory runs past the file start: " + file_.Path());
    directoryStart_ = directoryEnd - directorySize_;
    bias_ = static_cast<std::int64_t>(directoryStart_) - static_cast<std::int64_t>(recordedOffset);
    // Each central header takes at least 46 bytes: a count beyond that is a lie.
    if (entryCount_ > directorySize_ / kCentralHeaderSize)
        throw ZipFormatError("the entry count does not fit the central directory: " + file_.Path());
}

void ZipArchiveReader::ReadDirectory() {
    entries_.reserve(static_cast<std::size_t>(entryCount_));
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<std::uint8_t> buffer;
    std::uint64_t bufferStart = directoryStart_;
    std::size_t pos = 0;
    const std::uint64_t directoryEnd = directoryStart_ + directorySize_;
    // Makes sure `need` bytes from pos are in the buffer, refilling from the file.
    auto ensure = [&](std::size_t need) {
        if (pos + need <= buffer.size()) return true;
        bufferStart += pos;
        buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(pos));
        pos = 0;
        const std::uint64_t haveEnd = bufferStart + buffer.size();
        if (haveEnd >= directoryEnd) return false;
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(std::max(need, kChunk), directoryEnd - haveEnd));
        const std::size_t old = buffer.size();
        buffer.resize(old + want);
        const std::size_t got = file_.ReadAt(buffer.data() + old, want, haveEnd);
        buffer.resize(old + got);
        return pos + need <= buffer.size();
    };
    for (std::uint64_t i = 0; i < entryCount_; ++i) {
        ArchiveEntry entry;
        if (!ensure(kCentralHeaderSize))
            throw ZipFormatError("the central directory is truncated: " + file_.Path());
        if (!entry.header.Parse(buffer.data() + pos))
            throw ZipFormatError("a central header signature is wrong: " + file_.Path());
        const std::size_t total = entry.header.TotalSize();
        if (!ensure(total)) throw ZipFormatError("a central header runs past the directory: " + file_.Path());
        const char* p = reinterpret_cast<const char*>(buffer.data() + pos + kCentralHeaderSize);
        entry.storedName.assign(p, entry.header.nameLength);
        entry.extra.assign(p + entry.header.nameLength, entry.header.extraLength);
        entry.comment.assign(p + entry.header.nameLength + entry.header.extraLength,
                             entry.header.commentLength);
        pos += total;
        if (!UnicodePathFromExtra(entry.extra, entry.storedName, &entry.name))
            entry.name = DecodeEntryName(entry.storedName, entry.header.flags, entry.header.HostSystem());
        if (!ResolveZip64(reinterpret_cast<const std::uint8_t*>(entry.extra.data()), entry.extra.size(),
                          entry.header.uncompressedSize, entry.header.compressedSize,
                          entry.header.localHeaderOffset, entry.header.diskNumberStart, &entry.values))
            throw ZipFormatError("a ZIP64 extra field is missing or short: " + entry.name);
        const std::int64_t shifted = static_cast<std::int64_t>(entry.values.localHeaderOffset) + bias_;
        if (shifted < 0 || static_cast<std::uint64_t>(shifted) + kLocalHeaderSize > directoryStart_)
            throw ZipFormatError("an entry points outside the archive: " + entry.name);
        entry.values.localHeaderOffset = static_cast<std::uint64_t>(shifted);
        if (entry.values.compressedSize > directoryStart_)
            throw ZipFormatError("an entry's size is larger than the archive: " + entry.name);
        entries_.push_back(std::move(entry));
    }
}

std::uint64_t ZipArchiveReader::DataStart() const {
    std::uint64_t start = directoryStart_;
    for (const ArchiveEntry& entry : entries_) start = std::min(start, entry.values.localHeaderOffset);
    return start;
}

EntryData ZipArchiveReader::Locate(const ArchiveEntry& entry) {
    EntryData data;
    data.headerOffset = entry.values.localHeaderOffset;
    std::uint8_t bytes[kLocalHeaderSize];
    LocalHeader local;
    if (file_.ReadAt(bytes, sizeof bytes, data.headerOffset) != sizeof bytes || !local.Parse(bytes))
        throw ZipFormatError("a local header is missing or damaged: " + entry.name);
    data.dataOffset = data.headerOffset + kLocalHeaderSize + local.nameLength + local.extraLength;
    data.compressedSize = entry.values.compressedSize;
    if (data.dataOffset + data.compressedSize > directoryStart_)
        throw ZipFormatError("an entry's data runs past the end of the archive: " + entry.name);
    if (local.flags & kFlagDataDescriptor) {
        // The descriptor may or may not begin with its signature, and has 8-byte sizes with ZIP64.
        const bool zip64 = entry.values.compressedSize >= kZip64Marker32 ||
                           entry.values.uncompressedSize >= kZip64Marker32 ||
                           entry.header.compressedSize == kZip64Marker32;
        std::uint8_t sig[4] = {};
        const std::uint64_t after = data.dataOffset + data.compressedSize;
        const bool withSignature = file_.ReadAt(sig, 4, after) == 4 &&
                                   Get32(sig) == kDataDescriptorSignature &&
                                   // a CRC that happens to equal the signature: keep the shorter form
                                   !(entry.header.crc32 == kDataDescriptorSignature);
        data.descriptorSize = (withSignature ? 4 : 0) + 4 + (zip64 ? 16 : 8);
        if (after + data.descriptorSize > directoryStart_) data.descriptorSize = 0;
    }
    return data;
}

}  // namespace vpk::zip
