#include "repair/zip_fix.h"

#include <algorithm>

#include "engine/zip_format.h"
#include "platform/text_codec.h"
#include "repair/central_directory_writer.h"
#include "repair/size_plausibility.h"

namespace vpk {

namespace {

constexpr std::uint16_t kMaxNameLength = 80;
constexpr std::uint64_t kDescriptorSize = 16;
constexpr std::uint64_t kZip64DescriptorSize = 24;
// Copies go out in slices, so the sink never has to take gigabytes in one call.
constexpr std::uint64_t kCopySlice = 4 * 1024 * 1024;

bool IsRecordSignature(std::uint32_t value) {
    return value == zip::kLocalHeaderSignature || value == zip::kCentralHeaderSignature ||
           value == zip::kEndRecordSignature || value == zip::kZip64EndRecordSignature ||
           value == zip::kDataDescriptorSignature;
}

}  // namespace

TZipFix::TZipFix()
    : localHeaders_(zip::kLocalHeaderSignature, zip::kLocalHeaderSize),
      descriptors_(zip::kDataDescriptorSignature, kDescriptorSize) {}

void TZipFix::SetInput(const std::uint8_t* data, std::uint64_t size) {
    data_ = size == 0 ? nullptr : data;
    size_ = data_ == nullptr ? 0 : size;
    inputSet_ = true;
}

void TZipFix::RepairArchive() {
    if (!inputSet_ || output_ == nullptr) throw EZipFix("No input or no output stream has been defined");
    entries_.clear();
    std::uint64_t from = 0;
    while (const auto found = localHeaders_.Find(data_, size_, from)) {
        TFileInfo info;
        std::uint64_t next = 0;
        if (Examine(*found, info, next)) {
            entries_.push_back(std::move(info));
            Report(entries_.back(), true);
            from = next;
        } else {
            Report(info, false);
            from = *found + 4;
        }
    }
    if (entries_.empty()) return;
    CopyEntries();
}

bool TZipFix::Examine(std::uint64_t at, TFileInfo& info, std::uint64_t& next) const {
    zip::LocalHeader header;
    header.Parse(data_ + at);
    info.versionNeeded = header.versionNeeded;
    info.flags = header.flags;
    info.method = header.method;
    info.dosDateTime = header.dosDateTime;
    info.crc32 = header.crc32;
    info.compressedSize = header.compressedSize;
    info.uncompressedSize = header.uncompressedSize;
    info.nameLength = header.nameLength;
    info.extraLength = header.extraLength;
    info.localHeaderOffset = at;

    if (header.nameLength < 1 || header.nameLength > kMaxNameLength) return false;
    const std::uint64_t nameStart = at + zip::kLocalHeaderSize;
    if (header.nameLength > size_ - nameStart) return false;
    const std::uint8_t* name = data_ + nameStart;
    if (std::any_of(name, name + header.nameLength, [](std::uint8_t c) { return c < 32; })) return false;
    info.name.assign(reinterpret_cast<const char*>(name), header.nameLength);

    const std::uint64_t extraStart = nameStart + header.nameLength;
    if (header.extraLength > size_ - extraStart) return false;
    const std::uint8_t* extra = data_ + extraStart;
    const std::uint64_t dataStart = extraStart + header.extraLength;

    const std::uint8_t* zip64Block = nullptr;
    std::uint16_t zip64Length = 0;
    const bool hasZip64 =
        zip::FindExtraField(extra, header.extraLength, zip::kExtraZip64, &zip64Block, &zip64Length);
    zip::Zip64Values wide;
    if (zip::ResolveZip64(extra, header.extraLength, header.uncompressedSize, header.compressedSize, 0, 0,
                          &wide)) {
        info.compressedSize = wide.compressedSize;
        info.uncompressedSize = wide.uncompressedSize;
    }

    if ((header.flags & zip::kFlagDataDescriptor) != 0) {
        if (!ReadDescriptor(dataStart, hasZip64, info, next)) return false;
    } else {
        if (info.compressedSize > size_ - dataStart) return false;
        next = dataStart + info.compressedSize;
    }
    return next <= size_ &&
           SizesPlausible(info.method, info.flags, info.compressedSize, info.uncompressedSize);
}

bool TZipFix::ReadDescriptor(std::uint64_t dataStart, bool zip64First, TFileInfo& info,
                             std::uint64_t& next) const {
    std::uint64_t from = dataStart;
    while (const auto found = descriptors_.Find(data_, size_, from)) {
        const std::uint64_t at = *found;
        const std::uint8_t* p = data_ + at;
        const std::uint64_t distance = at - dataStart;
        // An entry with a ZIP64 extra field has 8-byte sizes in its descriptor; look at the other form
        // too, since writers disagree on when they use which.
        for (const bool wideForm : {zip64First, !zip64First}) {
            const std::uint64_t length = wideForm ? kZip64DescriptorSize : kDescriptorSize;
            if (length > size_ - at) continue;
            const std::uint64_t compressed = wideForm ? zip::Get64(p + 8) : zip::Get32(p + 8);
            if (compressed != distance) continue;
            info.crc32 = zip::Get32(p + 4);
            info.compressedSize = compressed;
            info.uncompressedSize = wideForm ? zip::Get64(p + 16) : zip::Get32(p + 12);
            next = at + length;
            return true;
        }
        // The signature bytes may occur inside the data (a stored archive, say); only a descriptor
        // that is followed by the next record is this entry's own, and then its sizes are wrong.
        if (EndsAtRecordBoundary(at)) return false;
        from = at + 4;
    }
    return false;
}

bool TZipFix::EndsAtRecordBoundary(std::uint64_t descriptorAt) const {
    for (const std::uint64_t length : {kDescriptorSize, kZip64DescriptorSize}) {
        const std::uint64_t after = descriptorAt + length;
        if (after == size_) return true;
        if (after + 4 <= size_ && IsRecordSignature(zip::Get32(data_ + after))) return true;
    }
    return false;
}

void TZipFix::Report(const TFileInfo& info, bool kept) {
    if (!OnFileFound) return;
    const bool utf8 = (info.flags & zip::kFlagUtf8) != 0 && IsValidUtf8(info.name);
    OnFileFound(*this, utf8 ? info.name : OemToUtf8(info.name, oemCodePage_), kept);
}

void TZipFix::CopyEntries() {
    std::uint64_t written = 0;
    for (auto& entry : entries_) {
        const std::uint8_t* source = data_ + entry.localHeaderOffset;
        const std::uint64_t length = entry.CopiedSize();
        for (std::uint64_t done = 0; done < length;) {
            const std::uint64_t slice = std::min(kCopySlice, length - done);
            output_->Write(source + done, static_cast<std::size_t>(slice));
            done += slice;
        }
        entry.localHeaderOffset = written;
        written += length;
    }
    WriteCentralDirectory(*output_, entries_, written);
    output_->Flush();
}

}  // namespace vpk
