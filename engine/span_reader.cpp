// SpanJoiner and TZipEngine::ReadSpan: one archive out of the pieces of a multi-disk set.
#include "engine/span_reader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>

#include "engine/ezip_engine.h"
#include "engine/zip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"

namespace vpk {

namespace {

constexpr std::size_t kCopyBlock = 8192;
constexpr std::size_t kDescriptorSize = 16;  // signature, CRC, two sizes

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string Backslashed(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

// The three characters before the extension of a piece's name ("001" for the first piece).
std::string PieceDigits(const std::string& name) {
    const std::size_t separator = name.find_last_of("\\/");
    const std::size_t dot = name.rfind('.');
    const std::size_t end =
        dot != std::string::npos && (separator == std::string::npos || dot > separator) ? dot : name.size();
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    return end - start >= 3 ? name.substr(end - 3, 3) : std::string{};
}

std::string WithZipExtension(const std::string& name) {
    const std::size_t separator = name.find_last_of("\\/");
    const std::size_t dot = name.rfind('.');
    const bool has = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return (has ? name.substr(0, dot) : name) + ".zip";
}

}  // namespace

void SpanJoiner::OpenDisk(std::uint32_t disk) {
    source_ = disks_.Open(disk, lastDisk_);
    currentDisk_ = disk;
    reader_.emplace(*source_, 0);
}

void SpanJoiner::Read(void* out, std::size_t size, int errorId) {
    auto* bytes = static_cast<std::uint8_t*>(out);
    std::size_t got = reader_->Read(bytes, size);
    while (got < size && currentDisk_ < lastDisk_) {
        OpenDisk(currentDisk_ + 1);
        got += reader_->Read(bytes + got, size - got);
    }
    if (got != size) throw EZipEngine(errorId, true);
}

void SpanJoiner::Write(const void* data, std::size_t size, int errorId) {
    try {
        output_->Write(data, size);
    } catch (const PlatformError&) {
        throw EZipEngine(errorId, true);
    }
    written_ += size;
}

void SpanJoiner::CopyBytes(std::uint64_t size, int readErrorId) {
    std::vector<std::uint8_t> block(kCopyBlock);
    while (size > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size));
        Read(block.data(), n, readErrorId);
        Write(block.data(), n, zipmsg::kWriteError);
        if (engine_.OnProgress)
            engine_.OnProgress(engine_, ProgressType::BytesDone, {}, static_cast<std::int64_t>(n));
        size -= n;
    }
}

void SpanJoiner::ReadDirectory(const EndRecordLocation& where, bool writing) {
    if (where.directoryDisk != currentDisk_ || writing) OpenDisk(where.directoryDisk);
    if (!reader_->Skip(where.directoryOffset)) throw EZipEngine(zipmsg::kSeekError, true);
    for (std::size_t i = 0; i < slots_.size() || (!writing && i < where.entriesTotal); ++i) {
        std::uint8_t fixed[zip::kCentralHeaderSize];
        Read(fixed, sizeof fixed, zipmsg::kCentralHeaderReadError);
        zip::CentralHeader header;
        if (!header.Parse(fixed)) throw EZipEngine(zipmsg::kCentralSignatureWrong, true);
        std::string name(header.nameLength, '\0'), extra(header.extraLength, '\0'),
            comment(header.commentLength, '\0');
        Read(name.data(), name.size(), zipmsg::kCentralNameReadError);
        Read(extra.data(), extra.size(), zipmsg::kCentralExtraReadError);
        Read(comment.data(), comment.size(), zipmsg::kFileCommentReadError);
        if (!writing) {
            slots_.push_back({name, header.compressedSize, 0, false});
            continue;
        }
        header.diskNumberStart = 0;
        if (slots_[i].outputOffset > zip::kZip64Marker32 - 1)
            throw EZipEngine(zipmsg::kCentralHeaderWriteError, true);
        header.localHeaderOffset = static_cast<std::uint32_t>(slots_[i].outputOffset);
        header.Write(fixed);
        Write(fixed, sizeof fixed, zipmsg::kCentralHeaderWriteError);
        Write(name.data(), name.size(), zipmsg::kCentralHeaderWriteError);
        Write(extra.data(), extra.size(), zipmsg::kCentralExtraReadError);
        Write(comment.data(), comment.size(), zipmsg::kFileCommentReadError);
    }
}

void SpanJoiner::CopyEntry() {
    std::uint8_t fixed[zip::kLocalHeaderSize];
    Read(fixed, sizeof fixed, zipmsg::kLocalHeaderReadError);
    zip::LocalHeader header;
    if (!header.Parse(fixed)) throw EZipEngine(zipmsg::kLocalSignatureWrong, true);
    std::string name(header.nameLength, '\0');
    Read(name.data(), name.size(), zipmsg::kLocalNameReadError);
    auto slot = std::find_if(slots_.begin(), slots_.end(),
                             [&](const Slot& s) { return !s.found && SameName(s.name, name); });
    if (slot == slots_.end()) throw EZipEngine(zipmsg::kLocalNotInTable, true);
    slot->found = true;
    slot->outputOffset = written_;
    const std::uint64_t compressed =
        header.compressedSize != 0 ? header.compressedSize : slot->compressedSize;
    const bool descriptor = (header.flags & zip::kFlagDataDescriptor) != 0;
    const std::string shown = Backslashed(name);
    if (engine_.OnMessage) engine_.OnMessage(engine_, 0, "Copying: " + shown);
    if (engine_.OnProgress)
        engine_.OnProgress(
            engine_, ProgressType::FileStart, shown,
            static_cast<std::int64_t>(compressed + name.size() + header.extraLength + zip::kLocalHeaderSize +
                                      (descriptor ? kDescriptorSize : 0)));
    Write(fixed, sizeof fixed, zipmsg::kLocalHeaderWriteError);
    Write(name.data(), name.size(), zipmsg::kLocalHeaderWriteError);
    CopyBytes(header.extraLength, zipmsg::kLocalExtraReadError);
    CopyBytes(compressed, zipmsg::kZippedDataReadError);
    if (descriptor) {
        // The descriptor's signature is optional: without it the descriptor is 12 bytes.
        std::uint8_t head[4];
        Read(head, sizeof head, zipmsg::kDataDescriptorError);
        Write(head, sizeof head, zipmsg::kDataDescriptorError);
        const bool signed_ = zip::Get32(head) == zip::kDataDescriptorSignature;
        CopyBytes(signed_ ? kDescriptorSize - 4 : kDescriptorSize - 8, zipmsg::kDataDescriptorError);
    }
}

void SpanJoiner::Join(ArchiveSource& lastPiece, const EndRecordLocation& where, File& output) {
    output_ = &output;
    lastDisk_ = where.diskNumber;
    currentDisk_ = where.diskNumber;
    source_ = &lastPiece;
    reader_.emplace(lastPiece, 0);
    ReadDirectory(where, false);
    std::uint64_t total = 0;
    for (const Slot& s : slots_) total += s.compressedSize;
    // Names, extras and comments are counted too, as the progress of the copy includes them.
    total += where.directorySize;

    OpenDisk(0);
    if (engine_.OnProgress) {
        engine_.OnProgress(engine_, ProgressType::FileTotal, {}, static_cast<std::int64_t>(slots_.size()));
        engine_.OnProgress(engine_, ProgressType::SizeTotal, {}, static_cast<std::int64_t>(total));
    }
    std::uint8_t marker[4];
    Read(marker, sizeof marker, zipmsg::kSpanMarkerWrong);
    if (zip::Get32(marker) != zip::kSpanMarker) throw EZipEngine(zipmsg::kSpanMarkerWrong, true);
    for (std::size_t i = 0; i < slots_.size(); ++i) CopyEntry();

    const std::uint64_t directoryOffset = written_;
    ReadDirectory(where, true);
    zip::EndRecord end;
    end.diskNumber = 0;
    end.directoryDisk = 0;
    end.entriesOnDisk = end.entriesTotal = static_cast<std::uint16_t>(slots_.size());
    end.directorySize = static_cast<std::uint32_t>(written_ - directoryOffset);
    if (directoryOffset > zip::kZip64Marker32 - 1) throw EZipEngine(zipmsg::kEndRecordWriteError, true);
    end.directoryOffset = static_cast<std::uint32_t>(directoryOffset);
    end.commentLength = static_cast<std::uint16_t>(where.comment.size());
    std::uint8_t record[zip::kEndRecordSize];
    end.Write(record);
    Write(record, sizeof record, zipmsg::kEndRecordWriteError);
    Write(where.comment.data(), where.comment.size(), zipmsg::kArchiveCommentReadError);
}

int TZipEngine::ReadSpan(const std::string& archive, std::string& target) {
    bool wasBusy = unzipBusy_;
    unzipBusy_ = true;
    std::string outputName;
    File output;
    std::int64_t lastPieceTime = 0;
    int result = 0;
    try {
        if (Fs().FolderExists(target)) {
            const std::string temporary = Fs().TempFileName(target, "zip");
            if (temporary.empty()) throw EZipEngine(zipmsg::kTempFileFailed, true);
            outputName = WithZipExtension(temporary);
            Fs().DeleteFile(temporary);
        } else {
            if (Fs().FileExists(target)) RemoveFile(target, howToDelete_);
            outputName = WithZipExtension(target);
        }
        try {
            output.Open(outputName, File::Mode::Create);
        } catch (const PlatformError&) {
            outputName.clear();
            throw EZipEngine(zipmsg::kCreateOutputFailed, true);
        }

        SpanDisks disks(archive, unattended_);
        EndRecordLocation where;
        const std::string label = directory_.layout.volumeLabel;
        ArchiveSource* last = disks.OpenLast([&](ArchiveSource& piece) {
            where = FindEndRecord(piece, EndRecordMode::Try, label, {});
            return where.found;
        });
        if (!last) {
            const std::string digits = PieceDigits(archive);
            if (digits == "001") throw EZipEngine(zipmsg::kFirstDiskOfSet, true);
            const bool numeric =
                !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
            throw EZipEngine(zipmsg::kNthDiskOfSet, numeric ? std::stoll(digits) : 0LL);
        }
        if (const auto info = Fs().Stat(archive)) lastPieceTime = info->mtime;
        SpanJoiner(*this, disks).Join(*last, where, output);
    } catch (const EZipEngine& error) {
        ReportException(error);
        result = -7;
    } catch (const std::bad_alloc&) {
        ShowZipMessage(zipmsg::kOutOfMemory);
        result = -8;
    } catch (const std::exception& error) {
        ShowZipMessage(zipmsg::kSpanUnknownError, error.what());
        result = -9;
    }
    if (OnProgress) OnProgress(*this, ProgressType::BatchEnd, {}, 0);
    try {
        if (output.IsOpen()) output.Close();
    } catch (const PlatformError&) {
        if (result == 0) {
            ShowZipMessage(zipmsg::kWriteError);
            result = -7;
        }
    }
    if (result == 0) {
        if (lastPieceTime != 0) Fs().SetFileTime(outputName, lastPieceTime);
        target = outputName;
    } else {
        if (!outputName.empty()) Fs().DeleteFile(outputName);
        target.clear();
    }
    unzipBusy_ = wasBusy;
    return result;
}

}  // namespace vpk
