#include "split/container_writer.h"

#include <algorithm>
#include <filesystem>

#include "platform/event_pump.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "split/backup_file.h"
#include "split/chunk_codec.h"
#include "split/file_selection.h"
#include "split/piece_name.h"
#include "split/progress_percent.h"
#include "split/stored_text.h"

namespace vpk::split {

namespace {

// Clears the busy flag and releases what the run holds on every way out, exceptions from event
// handlers included.
struct WriterGuard {
    TBackupFile& owner;
    std::unique_ptr<ContainerSink>& piece;
    std::string& idListPath;
    bool& busy;
    ~WriterGuard() {
        if (piece) {
            try {
                piece->Close();
            } catch (...) {
            }
            piece.reset();
        }
        if (!idListPath.empty()) Fs().DeleteFile(idListPath);
        idListPath.clear();
        busy = false;
    }
};

// A fresh medium may lack the folder the pieces go to.
std::unique_ptr<ContainerSink> CreatePiece(const std::string& name) {
    const auto cut = name.find_last_of("\\/");
    if (cut != std::string::npos && cut > 0) {
        const std::string folder = name.substr(0, cut + 1);
        if (!Fs().FolderExists(folder)) Fs().CreateFolderChain(folder);
    }
    return CreatePieceFile(name);
}

std::string TemporaryFolder() {
    std::error_code ec;
    auto host = std::filesystem::temp_directory_path(ec);
    return Fs().ToVirtual(ec ? std::string("/tmp") : host.string());
}

}  // namespace

bool ContainerWriter::Run(const std::vector<std::string>& fileList, const std::string& containerName) {
    containerName_ = containerName;
    toStream_ = containerName == kStreamContainerName;
    c_.busy_ = true;
    WriterGuard guard{c_, piece_, idListPath_, c_.busy_};
    c_.error_ = 0;
    c_.errorDetail_.clear();
    c_.filesDone_ = 0;
    c_.fileCount_ = 0;
    c_.totalSize_ = 0;
    c_.bytesProcessed_ = 0;
    c_.currentFile_.clear();
    c_.piece_ = 1;

    FileSelection selection(toStream_ ? std::string_view{} : std::string_view{containerName},
                            c_.BackupMode() == TBackupMode::bmIncremental);
    for (const auto& specification : fileList) selection.Add(specification);

    c_.continue_ = true;
    c_.Progress("", 0);
    const std::vector<std::string> entries = Measure(selection.Files());
    if (c_.continue_) OpenFirstPiece();
    for (std::size_t i = 0; i < entries.size() && c_.continue_; ++i) {
        const bool isIdList = c_.SaveFileID && i == 0;
        if (!Fs().FileExists(entries[i])) continue;
        StoreFile(entries[i], isIdList);
    }
    bool complete = false;
    if (c_.continue_ && piece_) {
        try {
            piece_->WriteInt32(kEndMark);
            complete = true;
        } catch (const PlatformError& e) {
            c_.SetError(kBackupErrorWriteArchive, e.what());
        }
    }
    Finish();
    return complete && c_.error_ == 0;
}

std::vector<std::string> ContainerWriter::Measure(const std::vector<std::string>& selection) {
    std::vector<std::string> entries;
    std::uint64_t idListLength = 0;
    File idList;
    if (c_.SaveFileID) {
        try {
            idListPath_ = Fs().TempFileName(TemporaryFolder(), "FID");
            if (idListPath_.empty()) throw PlatformError("no temporary name");
            idList.Open(idListPath_, File::Mode::Create);
        } catch (const PlatformError& e) {
            c_.SetError(kBackupErrorFileIdList, e.what());
            return {};
        }
        entries.push_back(idListPath_);
    }
    total_ = 0;
    for (const auto& name : selection) {
        const auto info = Fs().Stat(name);
        if (!info || (info->attributes & kAttrDirectory) != 0) continue;
        total_ += info->size;
        if (c_.SaveFileID) {
            const std::string line = EncodeStoredText(name) + "\t" +
                                     std::to_string(static_cast<std::int32_t>(info->dosDateTime)) + "=" +
                                     std::to_string(info->size) + "\r\n";
            try {
                idList.Write(line.data(), line.size());
            } catch (const PlatformError& e) {
                c_.SetError(kBackupErrorFileIdList, e.what());
                return {};
            }
            idListLength += line.size();
        }
    }
    if (c_.SaveFileID) {
        try {
            idList.Close();
        } catch (const PlatformError& e) {
            c_.SetError(kBackupErrorFileIdList, e.what());
            return {};
        }
        total_ += idListLength;
    }
    entries.insert(entries.end(), selection.begin(), selection.end());
    c_.fileCount_ = static_cast<int>(selection.size());
    c_.totalSize_ = static_cast<std::int64_t>(total_);
    return entries;
}

void ContainerWriter::OpenFirstPiece() {
    try {
        if (toStream_) {
            if (!c_.BackupStream) throw ContainerIoError("no stream was given for :STREAM");
            piece_ = StreamSink(*c_.BackupStream);
        } else {
            piece_ = CreatePiece(containerName_);
        }
        chunksInPiece_ = 0;
        piece_->WriteString(EncodeStoredText(c_.BackupTitle));
        piece_->WriteInt32(static_cast<std::int32_t>(std::min<std::uint64_t>(total_, kMaxStoredTotal)));
        piece_->WriteInt32(c_.fileCount_);
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorWriteArchive, e.what());
    }
}

void ContainerWriter::StoreFile(const std::string& name, bool isIdList) {
    File source;
    std::uint64_t size = 0;
    std::uint32_t date = 0;
    try {
        source.Open(name, File::Mode::Read);
        size = source.Size();
        const auto info = Fs().Stat(name);
        date = info ? info->dosDateTime : 0;
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorReadFile, e.what());
        return;
    }
    c_.currentFile_ = name;
    try {
        piece_->WriteString(isIdList ? std::string(kFileListName) : EncodeStoredText(name));
        piece_->WriteInt32(static_cast<std::int32_t>(date));
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorWriteArchive, e.what());
        return;
    }
    const bool complete = StoreData(source, size);
    if (isIdList) return;
    if (complete) ++c_.filesDone_;
    // A file cut short (stop, error, or shrinking while read) keeps its archive bit so the next
    // incremental run takes it again.
    if (complete && c_.SetArchiveFlag) Fs().ClearArchiveBit(name);
}

bool ContainerWriter::StoreData(File& source, std::uint64_t size) {
    std::uint64_t left = size;
    bool sourceEndedEarly = false;
    do {
        WriteSegment(source, left, sourceEndedEarly);
        if (left > 0 && c_.continue_) ChangePiece();
    } while (left > 0 && c_.continue_);
    return left == 0 && !sourceEndedEarly && c_.error_ == 0;
}

void ContainerWriter::WriteSegment(File& source, std::uint64_t& left, bool& sourceEndedEarly) {
    try {
        piece_->Write(kSegmentMark, sizeof kSegmentMark);
        while (left > 0 && c_.continue_) {
            if (c_.MaxSize != 0 && static_cast<std::int64_t>(piece_->Position()) >=
                                       static_cast<std::int64_t>(c_.MaxSize) - kPieceMargin) {
                break;
            }
            const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunkSize));
            std::size_t got = 0;
            try {
                got = source.Read(input_.data(), wanted);
            } catch (const PlatformError& e) {
                c_.SetError(kBackupErrorReadFile, e.what());
                break;
            }
            // The file shrank since it was sized: what it still had is stored and the file ends here,
            // rather than asking for bytes that will never come.
            if (got < wanted) {
                sourceEndedEarly = true;
                left = 0;
                if (got == 0) break;
            } else {
                left -= got;
            }
            c_.bytesProcessed_ += got;
            StoreChunk(got);
            ++chunksInPiece_;
            ProcessPendingEvents();
            c_.Progress(c_.currentFile_,
                        ProgressPercent(c_.bytesProcessed_, static_cast<std::int64_t>(total_)));
        }
        piece_->WriteInt32(kEndOfSegment);
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorWriteArchive, e.what());
    }
}

void ContainerWriter::StoreChunk(std::size_t size) {
    std::size_t compressed = 0;
    switch (CompressChunk(input_.data(), size, ZlibLevel(c_.CompressionLevel), output_.data(), &compressed)) {
        case ChunkForm::Compressed:
            piece_->WriteInt32(static_cast<std::int32_t>(compressed));
            piece_->Write(output_.data(), compressed);
            break;
        case ChunkForm::Raw:
            piece_->WriteInt32(-static_cast<std::int32_t>(size));
            piece_->Write(input_.data(), size);
            break;
        case ChunkForm::Failed:
            c_.SetError(kBackupErrorCompression, c_.currentFile_);
            break;
    }
}

void ContainerWriter::ChangePiece() {
    // A piece that took no chunk at all cannot take one in the next piece either: without this the
    // writer would spin out empty pieces.
    if (chunksInPiece_ == 0) {
        c_.SetError(kBackupErrorPieceTooSmall, "MaxSize " + std::to_string(c_.MaxSize));
        return;
    }
    const int next = c_.piece_ + 1;
    if (next > kMaxPieces) {
        c_.SetError(kBackupErrorTooManyPieces, containerName_);
        return;
    }
    try {
        const std::string record = std::string(kNextDiskPrefix) + PieceDigits(next);
        piece_->WriteString(record);
        if (toStream_) {
            // A stream holds the pieces one after the other; there is no medium to change.
            c_.piece_ = next;
            chunksInPiece_ = 0;
            piece_->StartPiece();
            return;
        }
        piece_->Close();
        piece_.reset();
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorWriteArchive, e.what());
        return;
    }
    c_.piece_ = next;
    if (!c_.AskForDisk(static_cast<std::uint16_t>(next))) return;
    try {
        piece_ = CreatePiece(PieceName(containerName_, next));
        chunksInPiece_ = 0;
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorWriteArchive, e.what());
    }
}

void ContainerWriter::Finish() {
    if (piece_) {
        try {
            piece_->Close();
        } catch (const PlatformError& e) {
            c_.SetError(kBackupErrorWriteArchive, e.what());
        }
        piece_.reset();
    }
    if (!idListPath_.empty()) Fs().DeleteFile(idListPath_);
    idListPath_.clear();
    c_.Progress("", 100);
    c_.busy_ = false;
    c_.ReportError();
}

}  // namespace vpk::split
