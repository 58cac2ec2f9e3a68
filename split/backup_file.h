#pragma once
// TBackupFile packs a list of files into a split container (one file, or a numbered series of pieces
// of bounded size) and restores them from it. The format is in docs/formats/split-container.md.
//
// Contracts:
// - Everything runs on the calling (user-interface) thread. After every chunk the component lets the
//   application process pending events; that is when a window's stop button calls Stop().
// - Events get the component as first argument. The Continue argument of OnProgress and OnNeedDisk is
//   the component's own continue flag: leaving it False stops the run at its next check.
// - BackupFiles and RestoreFiles refuse to start (return false, change nothing) while the component
//   is busy; the busy flag is cleared and every file closed on every way out, exceptions included.
// - MaxSize is read before every chunk, so OnNeedDisk may change it for the following pieces.
#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "split/backup_error.h"

namespace vpk {

class File;
namespace split {
class ContainerWriter;
class ContainerReader;
}  // namespace split

enum class TBackupMode { bmAll, bmIncremental };
enum class TCompressionLevel { clFastest, clNone, clDefault, clMax };
enum class TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
using TPercentage = std::uint8_t;  // 0..100

class TBackupFile;
using TProgressEvent = std::function<void(TBackupFile& sender, const std::string& fileName,
                                          TPercentage percent, bool& continueRun)>;
using TNeedDiskEvent = std::function<void(TBackupFile& sender, std::uint16_t diskId, bool& continueRun)>;
// fileDate is the stored packed DOS date and time; doRestore comes in as the overwrite rule's answer.
using TRestoreFileEvent =
    std::function<void(TBackupFile& sender, std::string& fileName, std::int32_t fileDate, bool& doRestore)>;
// Called once for every piece a restored file spans, just before its target is closed.
using TFileRestoredEvent = std::function<void(TBackupFile& sender, std::string& fileName, File& stream)>;
using TBackupErrorEvent =
    std::function<void(TBackupFile& sender, std::int32_t error, const std::string& errString)>;

// Container name that stands for BackupStream (writer) or RestoreStream (reader).
inline constexpr const char* kStreamContainerName = ":STREAM";

class TBackupFile {
  public:
    static constexpr const char* kVersion = "5.10";
    std::string Version() const { return kVersion; }

    std::string BackupTitle;
    TCompressionLevel CompressionLevel = TCompressionLevel::clFastest;
    TRestoreMode RestoreMode = TRestoreMode::rmAll;
    std::int32_t MaxSize = 0;  // bytes per piece; 0: a single piece of any size
    bool SetArchiveFlag = false;
    bool RestoreFullPath = false;
    bool SaveFileID = false;

    TBackupMode BackupMode() const { return backupMode_; }
    // bmIncremental also sets SetArchiveFlag: an incremental run must mark what it took.
    void SetBackupMode(TBackupMode mode);

    TProgressEvent OnProgress;
    TNeedDiskEvent OnNeedDisk;
    TRestoreFileEvent OnRestoreFile;
    TFileRestoredEvent OnFileRestored;
    TBackupErrorEvent OnError;  // without it an error is shown in a message box

    // Streams of the owner, used for the container name ":STREAM"; the component never closes them.
    std::ostream* BackupStream = nullptr;
    std::istream* RestoreStream = nullptr;

    // Writes the container; true only when the end mark was written and the last piece closed.
    bool BackupFiles(const std::vector<std::string>& fileList, const std::string& containerName);
    // Restores from the first piece into destFolder (empty: every file to its stored path). True when
    // the run ended without error and without a stop. Raises EBackupFile when the header cannot be read
    // or the container is damaged outside a file being restored.
    bool RestoreFiles(const std::string& containerName, const std::string& destFolder);

    bool IsBusy() const { return busy_; }
    void Stop() { continue_ = false; }

    // Run-time state of the current or last operation.
    std::int32_t ErrorCode() const { return error_; }
    // What the error was about (the file and the system's reason), for logs; OnError gets the message.
    const std::string& ErrorDetail() const { return errorDetail_; }
    int FileCount() const { return fileCount_; }
    int FilesDone() const { return filesDone_; }
    std::int64_t TotalSize() const { return totalSize_; }
    std::uint64_t BytesProcessed() const { return bytesProcessed_; }
    const std::string& CurrentFileName() const { return currentFile_; }
    int PieceNumber() const { return piece_; }  // piece being written or read (1 for the first)

  private:
    friend class split::ContainerWriter;
    friend class split::ContainerReader;

    // Shared by writer and reader.
    void SetError(std::int32_t code, const std::string& detail = {});
    void Progress(const std::string& fileName, TPercentage percent);
    bool AskForDisk(std::uint16_t diskId);  // OnNeedDisk or the built-in prompt; the continue flag
    void ReportError();                     // once, at the end of an operation

    TBackupMode backupMode_ = TBackupMode::bmAll;
    bool busy_ = false;
    bool continue_ = false;
    std::int32_t error_ = 0;
    std::string errorDetail_;
    int fileCount_ = 0;
    int filesDone_ = 0;
    std::int64_t totalSize_ = 0;
    std::uint64_t bytesProcessed_ = 0;
    std::string currentFile_;
    int piece_ = 0;
};

// The zlib level of a compression level (-1 is zlib's own default).
int ZlibLevel(TCompressionLevel level);

}  // namespace vpk
