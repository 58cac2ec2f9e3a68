#include "split/backup_file.h"

#include <string>

#include "platform/dialogs.h"
#include "split/container_reader.h"
#include "split/container_writer.h"

namespace vpk {

int ZlibLevel(TCompressionLevel level) {
    switch (level) {
        case TCompressionLevel::clFastest:
            return 1;
        case TCompressionLevel::clNone:
            return 0;
        case TCompressionLevel::clDefault:
            return -1;
        case TCompressionLevel::clMax:
            return 9;
    }
    return 1;
}

void TBackupFile::SetBackupMode(TBackupMode mode) {
    backupMode_ = mode;
    if (mode == TBackupMode::bmIncremental) SetArchiveFlag = true;
}

bool TBackupFile::BackupFiles(const std::vector<std::string>& fileList, const std::string& containerName) {
    if (busy_) return false;
    split::ContainerWriter writer(*this);
    return writer.Run(fileList, containerName);
}

bool TBackupFile::RestoreFiles(const std::string& containerName, const std::string& destFolder) {
    if (busy_) return false;
    split::ContainerReader reader(*this);
    return reader.Run(containerName, destFolder);
}

void TBackupFile::SetError(std::int32_t code, const std::string& detail) {
    // The first error is the one reported; later ones are consequences of it.
    if (error_ == 0) {
        error_ = code;
        errorDetail_ = detail;
    }
    continue_ = false;
}

void TBackupFile::Progress(const std::string& fileName, TPercentage percent) {
    if (OnProgress) OnProgress(*this, fileName, percent, continue_);
}

bool TBackupFile::AskForDisk(std::uint16_t diskId) {
    if (OnNeedDisk) {
        OnNeedDisk(*this, diskId, continue_);
    } else {
        DialogRequest request;
        request.caption = "Information";
        request.lines = {"Please insert disk " + std::to_string(diskId) + " and click OK to continue."};
        request.buttons = {"OK", "Cancel"};
        continue_ = Dialogs::Current().Ask(request) == 1;
    }
    return continue_;
}

void TBackupFile::ReportError() {
    if (error_ == 0) return;
    const std::string message = BackupErrorMessage(error_);
    if (OnError) {
        OnError(*this, error_, message);
        return;
    }
    DialogRequest request;
    request.caption = "Error";
    request.icon = "#";
    request.lines = {message};
    if (!errorDetail_.empty()) request.lines.push_back(errorDetail_);
    request.buttons = {"OK"};
    Dialogs::Current().Ask(request);
}

}  // namespace vpk
