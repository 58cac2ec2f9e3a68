#include "split/backup_error.h"

namespace vpk {

const char* BackupErrorMessage(std::int32_t code) {
    switch (code) {
        case kBackupErrorNone:
            return "";
        case kBackupErrorReadFile:
            return "Cannot read file";
        case kBackupErrorOverwrite:
            return "Overwriting file failed";
        case kBackupErrorReadArchive:
            return "Cannot read archive";
        case kBackupErrorWriteArchive:
            return "Cannot write to archive";
        case kBackupErrorInvalidArchive:
            return "Invalid archive type";
        case kBackupErrorCompression:
            return "Compression error";
        case kBackupErrorFileIdList:
            return "Cannot create temporary file to save the file IDs";
        case kBackupErrorPieceTooSmall:
            return "Piece size too small to hold any data";
        case kBackupErrorTooManyPieces:
            return "Cannot write to archive: more than 999 pieces";
        default:
            return "Unknown error";
    }
}

EBackupFile::EBackupFile(std::int32_t code, const std::string& detail)
    : std::runtime_error(detail.empty() ? std::string(BackupErrorMessage(code))
                                        : std::string(BackupErrorMessage(code)) + " (" + detail + ")"),
      code_(code) {}

}  // namespace vpk
