#include "split/container_reader.h"

#include <cstring>
#include <optional>

#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "split/backup_file.h"
#include "split/chunk_codec.h"
#include "split/piece_name.h"
#include "split/progress_percent.h"
#include "split/restore_target.h"
#include "split/stored_text.h"

namespace vpk::split {

namespace {

struct ReaderGuard {
    std::unique_ptr<ContainerSource>& piece;
    File& target;
    bool& busy;
    ~ReaderGuard() {
        if (piece) {
            try {
                piece->Close();
            } catch (...) {
            }
            piece.reset();
        }
        if (target.IsOpen()) {
            try {
                target.Close();
            } catch (...) {
            }
        }
        busy = false;
    }
};

bool OnRemovableDrive(const std::string& path) {
    const std::string full = Fs().FullPath(path);
    return full.size() > 1 && full[1] == ':' && Fs().TypeOfDrive(full[0]) == DriveType::Removable;
}

// Container reads that fail (damage, truncation, an unreadable medium) become "Invalid archive type".
template <typename Read>
auto ReadContainer(Read read) {
    try {
        return read();
    } catch (const PlatformError& e) {
        throw EBackupFile(kBackupErrorInvalidArchive, e.what());
    }
}

}  // namespace

bool ContainerReader::Run(const std::string& containerName, const std::string& destFolder) {
    destFolder_ = destFolder;
    if (!destFolder_.empty() && destFolder_.back() != '\\' && destFolder_.back() != '/') destFolder_ += '\\';
    c_.error_ = 0;
    c_.errorDetail_.clear();
    c_.filesDone_ = 0;
    c_.bytesProcessed_ = 0;
    c_.currentFile_.clear();
    c_.continue_ = true;
    c_.piece_ = 1;
    pieceName_ = containerName;
    fromStream_ = containerName == kStreamContainerName;
    if (fromStream_) {
        if (!c_.RestoreStream) return false;
        piece_ = StreamSource(*c_.RestoreStream);
    } else {
        if (!Fs().FileExists(containerName)) return false;
        try {
            piece_ = OpenPieceFile(containerName);
        } catch (const PlatformError& e) {
            throw EBackupFile(kBackupErrorReadArchive, e.what());
        }
    }
    c_.busy_ = true;
    ReaderGuard guard{piece_, target_, c_.busy_};
    ReadHeader();

    haveFile_ = false;
    restoring_ = true;
    do {
        const std::int32_t length = ReadContainer([&] { return piece_->ReadInt32(); });
        if (length == kEndMark) break;
        if (length < 0 || length > kMaxStoredNameLength) {
            throw EBackupFile(kBackupErrorInvalidArchive, "record length " + std::to_string(length));
        }
        std::string name(static_cast<std::size_t>(length), '\0');
        ReadContainer([&] {
            piece_->ReadExact(name.data(), name.size());
            return 0;
        });
        if (name.compare(0, kNextDiskPrefix.size(), kNextDiskPrefix) == 0) {
            PieceChange(name);
        } else {
            FileRecord(name);
        }
    } while (c_.continue_);

    if (piece_) {  // none after a refused piece prompt
        try {
            piece_->Close();
        } catch (...) {
        }
        piece_.reset();
    }
    const bool result = c_.error_ == 0 && c_.continue_;
    c_.Progress("", 100);
    c_.busy_ = false;
    c_.ReportError();
    return result;
}

void ContainerReader::ReadHeader() {
    try {
        const std::int32_t titleLength = piece_->ReadInt32();
        if (titleLength < 0) throw ContainerIoError("title length " + std::to_string(titleLength));
        piece_->Skip(static_cast<std::uint64_t>(titleLength));  // the title is not used on restore
        c_.totalSize_ = piece_->ReadInt32();
        c_.fileCount_ = piece_->ReadInt32();
    } catch (const PlatformError& e) {
        throw EBackupFile(kBackupErrorReadArchive, e.what());
    }
    c_.bytesProcessed_ = 0;
}

void ContainerReader::FileRecord(const std::string& storedBytes) {
    const std::string storedName = DecodeStoredText(storedBytes);
    storedDate_ = static_cast<std::uint32_t>(ReadContainer([&] { return piece_->ReadInt32(); }));
    haveFile_ = true;
    c_.currentFile_ = storedName;
    // The ID list describes the container; it is never written out, whatever the events say.
    if (storedBytes == kFileListName) {
        restoring_ = false;
        ReadSegment(false);
        return;
    }
    const auto target = RestoreTargetName(storedName, destFolder_, c_.RestoreFullPath);
    if (!target) {
        // A name with nothing usable left under the destination: read over it.
        restoring_ = false;
        ReadSegment(false);
        return;
    }
    targetName_ = *target;
    const auto info = Fs().Stat(targetName_);
    bool restore = ShouldRestore(
        c_.RestoreMode, info ? std::optional<std::uint32_t>(info->dosDateTime) : std::nullopt, storedDate_);
    if (c_.OnRestoreFile) c_.OnRestoreFile(c_, targetName_, static_cast<std::int32_t>(storedDate_), restore);
    if (restore) {
        const auto cut = targetName_.find_last_of("\\/");
        if (cut != std::string::npos && cut > 0) {
            const std::string folder = targetName_.substr(0, cut + 1);
            if (!Fs().FolderExists(folder)) Fs().CreateFolderChain(folder);
            restore = Fs().FolderExists(folder);
        }
    }
    restoring_ = restore;
    if (!restoring_) {
        ReadSegment(false);
        return;
    }
    try {
        target_.Open(targetName_, File::Mode::Create);
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorReadFile, e.what());
        return;
    }
    try {
        ReadSegment(true);
        if (c_.error_ == 0) ++c_.filesDone_;
    } catch (const EBackupFile& e) {
        // Damage inside a file being restored is blamed on that file.
        c_.SetError(kBackupErrorReadFile, targetName_ + ": " + e.what());
    }
    CloseTarget();
}

void ContainerReader::PieceChange(const std::string& record) {
    const std::string digits = record.substr(kNextDiskPrefix.size());
    const int number = PieceNumberFromDigits(digits);
    if (record.size() != kNextDiskRecordLength || number < 0) {
        throw EBackupFile(kBackupErrorInvalidArchive, "piece-change record \"" + record + "\"");
    }
    if (fromStream_) {
        // A stream holds the pieces one after the other.
        c_.piece_ = number;
    } else {
        try {
            piece_->Close();
        } catch (...) {
        }
        piece_.reset();
        const std::string next = PieceNameWithDigits(pieceName_, digits);
        // The prompt comes before the check, so the user is asked even when the piece is at hand.
        do {
            c_.AskForDisk(static_cast<std::uint16_t>(number));
            ProcessPendingEvents();
            // Only a removable drive can receive the missing piece; anywhere else asking again would
            // never end.
            if (c_.continue_ && !Fs().FileExists(next) && !OnRemovableDrive(next)) {
                throw EBackupFile(kBackupErrorReadArchive,
                                  "piece " + std::to_string(number) + " is missing: " + next);
            }
        } while (c_.continue_ && !Fs().FileExists(next));
        if (!c_.continue_) return;
        try {
            piece_ = OpenPieceFile(next);
        } catch (const PlatformError& e) {
            throw EBackupFile(kBackupErrorReadArchive, e.what());
        }
        pieceName_ = next;
        c_.piece_ = number;
    }
    const bool writing = haveFile_ && restoring_;
    if (writing) {
        try {
            target_.Open(targetName_, File::Mode::Append);
        } catch (const PlatformError& e) {
            c_.SetError(kBackupErrorReadFile, e.what());
            return;
        }
    }
    ReadSegment(writing);
    if (writing) CloseTarget();
}

void ContainerReader::ReadSegment(bool writing) {
    char mark[4];
    ReadContainer([&] {
        piece_->ReadExact(mark, sizeof mark);
        return 0;
    });
    if (std::string_view(mark, strnlen(mark, sizeof mark)) != kSegmentMarkText) {
        throw EBackupFile(kBackupErrorInvalidArchive, "a data segment lacks its mark");
    }
    do {
        const std::int32_t length = ReadContainer([&] { return piece_->ReadInt32(); });
        if (length < -static_cast<std::int32_t>(kChunkSize) ||
            length > static_cast<std::int32_t>(kChunkSize)) {
            throw EBackupFile(kBackupErrorInvalidArchive, "chunk length " + std::to_string(length));
        }
        const std::size_t size = static_cast<std::size_t>(length < 0 ? -length : length);
        std::size_t written = 0;
        if (!writing) {
            ReadContainer([&] {
                piece_->Skip(size);
                return 0;
            });
        } else if (size > 0) {
            ReadContainer([&] {
                piece_->ReadExact(stored_.data(), size);
                return 0;
            });
            if (length > 0) {
                if (ExpandChunk(stored_.data(), size, expanded_.data(), &written) != ExpandResult::Ok) {
                    c_.SetError(kBackupErrorCompression, targetName_);
                }
                WriteToTarget(expanded_.data(), written);
            } else {
                written = size;
                WriteToTarget(stored_.data(), written);
            }
        }
        ProcessPendingEvents();
        if (writing) {
            c_.bytesProcessed_ += written;
            c_.Progress(targetName_, ProgressPercent(c_.bytesProcessed_, c_.totalSize_));
        }
        if (length == kEndOfSegment) break;
    } while (c_.continue_);
}

void ContainerReader::WriteToTarget(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || !target_.IsOpen()) return;
    try {
        target_.Write(data, size);
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorReadFile, e.what());
    }
}

void ContainerReader::CloseTarget() {
    if (c_.OnFileRestored) c_.OnFileRestored(c_, targetName_, target_);
    const std::string path = target_.Path();
    try {
        if (target_.IsOpen()) target_.Close();
    } catch (const PlatformError& e) {
        c_.SetError(kBackupErrorReadFile, e.what());
    }
    if (!path.empty()) Fs().SetFileTime(path, UnixFromDosDateTime(storedDate_));
}

}  // namespace vpk::split
