#pragma once
// Error codes of TBackupFile and their message texts. Codes 1..7 are the component's historic codes
// (2 is reserved: nothing sets it); 8 and 9 refuse piece layouts the format cannot hold.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vpk {

enum BackupErrorCode : std::int32_t {
    kBackupErrorNone = 0,
    kBackupErrorReadFile = 1,        // a source cannot be read (writer); a target cannot be written (reader)
    kBackupErrorOverwrite = 2,       // reserved
    kBackupErrorReadArchive = 3,     // the first piece's header cannot be read (raised, not reported)
    kBackupErrorWriteArchive = 4,    // a piece cannot be created or written
    kBackupErrorInvalidArchive = 5,  // a segment lacks its mark or a record is damaged (raised)
    kBackupErrorCompression = 6,     // zlib failed on a chunk
    kBackupErrorFileIdList = 7,      // the temporary file of the ID list cannot be written
    kBackupErrorPieceTooSmall = 8,   // MaxSize leaves no room for a single chunk in a piece
    kBackupErrorTooManyPieces = 9,   // the container would need a piece beyond 999
};

// The English message of a code ("" for 0, "Unknown error" outside the table).
const char* BackupErrorMessage(std::int32_t code);

// Raised by RestoreFiles for a container it cannot read at all: the header is unreadable ("Cannot read
// archive") or the data is damaged where no file can take the blame ("Invalid archive type").
class EBackupFile : public std::runtime_error {
  public:
    EBackupFile(std::int32_t code, const std::string& detail = {});
    std::int32_t Code() const { return code_; }

  private:
    std::int32_t code_;
};

}  // namespace vpk
