#pragma once
// The binary contract between the archive engine and the zip/unzip libraries (libvpkzip.so,
// libvpkunz.so), loaded at run time. The records keep the field order of the original 32-bit layout;
// pointers (and the window handle) take the native width, so on a 64-bit host the offsets below grow
// with the padding the compiler inserts. The offsets given are those of the 32-bit layout.
//
// Conventions shared by both sides:
// - A flag field is a 32-bit integer, -1 (all bits set) for yes and 0 for no; a library treats any
//   non-zero value as yes.
// - Texts are zero-terminated 8-bit strings (UTF-8 virtual paths) owned by the engine until the call
//   returns. Paths are virtual (Windows) paths, resolved by the library through the drive table of the
//   program folder; a relative path is taken from the current folder.
// - The library calls the callback only on the thread that called ZipExec/UnzExec, in file order,
//   even while it compresses on worker threads.
// - A callback returning non-zero (the engine's Cancel flag) stops the operation at once: an archive
//   being written is discarded and the old archive stays exactly as it was.
#include <cstdint>

namespace vpk {

// The interface version both sides speak (1.60).
inline constexpr std::int32_t kLibraryInterfaceVersion = 160;
// Value of the size check field closing both command records.
inline constexpr std::int32_t kCommandRecordCheck = 7;
inline constexpr std::int32_t kFlagYes = -1;
inline constexpr std::int32_t kFlagNo = 0;
// Password buffer of the command records: 80 characters and the terminating zero.
inline constexpr int kPasswordBufferSize = 81;
// Text field of the callback record, terminating zero included.
inline constexpr int kCallbackTextSize = 512;
// Upper bound of the password repeat count handed back by the engine.
inline constexpr std::int32_t kMaxPasswordRepeat = 15;

struct CallbackRecord;
extern "C" typedef std::int32_t (*LibraryCallback)(CallbackRecord* record);

// Action codes of CallbackRecord::actionCode.
enum LibraryAction : std::int32_t {
    kActionFileStart = 1,     // a file begins: text = name, number = its size
    kActionBytesDone = 2,     // bytes processed since the last call: number
    kActionBatchEnd = 3,      // the whole batch ended
    kActionMessage = 4,       // message: code = library error code (0: information), text
    kActionFileTotal = 5,     // files to process: number
    kActionSizeTotal = 6,     // bytes to process: number (number64 exact)
    kActionSetNewName = 7,    // name about to be stored: text; answered by action 8 + new text
    kActionPassword = 8,      // password needed (see below); also the "name changed" answer of 7
    kActionCrcError = 9,      // CRC mismatch: code = found CRC, number = expected; code := answer
    kActionFileExists = 10,   // extraction target exists: code bit 0 = the file on disk is older,
                              // number low byte = overwrite (1) or not (0); number := answer
    kActionFileSkipped = 11,  // entry skipped: number low byte = UnzSkipType, code = error code
};

// Password request (action 8): in, code bit 0 set when the password is for adding, clear for
// extracting; number = repeat count left; text = the file's name. Out, code 1 with the password in
// text (at most 80 characters) for this request only, or code 0 and number 0 for none; number = the
// repeat count (how many more times the library may ask), at most 15.
//
// CRC mismatch (action 9): the answer in code is non-zero to keep the damaged output, 0 to discard it.
// The engine without a handler answers 2; the library then keeps the output too. The entry counts as
// failed either way.

// Why an entry was skipped (low byte of number in action 11).
enum UnzSkipType : std::int32_t {
    kSkipOnFreshen = 0,      // freshen: no file on disk to freshen
    kSkipNoOverwrite = 1,    // the file on disk was kept (overwrite refused)
    kSkipFileNewer = 2,      // update/freshen: the file on disk is not older than the entry
    kSkipBadPassword = 3,    // no password, or a wrong one
    kSkipUnknownMethod = 4,  // compression method or encryption not supported
    kSkipUnsafeName = 5,     // the name would land outside the extraction folder
    kSkipBadEntry = 6,       // damaged local header or data
    kSkipWriteError = 7,     // the file could not be created or written
};

// Library error codes carried in the code field of a message (action 4). The engine keeps
// code AND 255 as its ErrorCode.
enum LibraryErrorCode : std::int32_t {
    kLibOk = 0,               // information only
    kLibErrWarning = 1,       // something odd that does not fail the operation
    kLibErrFileRead = 2,      // a source file vanished or could not be read: reported and skipped
    kLibErrWrite = 3,         // writing failed (disk full …): the operation ends, the old archive stays
    kLibErrArchive = 4,       // the archive is damaged or not a ZIP archive
    kLibErrCrc = 5,           // CRC mismatch while extracting or testing
    kLibErrPassword = 6,      // missing or wrong password
    kLibErrUnsafeName = 7,    // an entry name that would escape the extraction folder
    kLibErrMethod = 8,        // unsupported compression method
    kLibErrCancelled = 9,     // stopped by the caller
    kLibErrMemory = 10,       // out of memory
    kLibErrParameter = 11,    // the command record is not usable
    kLibErrTempFile = 12,     // the new archive could not be created beside the old one
    kLibErrNothingToDo = 13,  // no file matched the specifications
};

// Callback record; only the fields named here are read or written by either side.
struct CallbackRecord {
    void* handle;                  // 0: window handle of the application
    void* caller;                  // 4: the engine instance, copied from the command record
    std::int32_t reserved8;        // 8
    std::int32_t reserved12;       // 12
    std::int32_t actionCode;       // 16: LibraryAction, in and out
    std::int32_t code;             // 20: code or flag, in and out
    std::int32_t number;           // 24: number, in and out (sizes above 2^31-1 clamp to 2^31-1)
    char text[kCallbackTextSize];  // 28: file name or message, zero-terminated, in and out
    // Extension of this build: the exact 64-bit value of number for sizes and totals (actions 1, 2, 5,
    // 6). Engines reading only number keep working.
    std::int64_t number64;
};

// One file specification for ZipExec (104 bytes in the 32-bit layout).
struct FileSpecEntry {
    const char* spec;            // 0: a DOS wildcard specification or an entry name
    std::uint8_t reserved[100];  // 4: 0
};

// One file specification for UnzExec (72 bytes in the 32-bit layout).
struct UnzFileSpecEntry {
    const char* spec;           // 0: an entry name, DOS wildcards allowed
    std::uint8_t reserved[68];  // 4: 0
};

// Command record of ZipExec (216 bytes in the 32-bit layout). Fields marked * were added by 1.60.
struct ZipCommand {
    void* handle;                  // 0: window handle, 0 when unattended
    void* caller;                  // 4: the engine instance, handed back in every callback
    std::int32_t version;          // 8: interface version of the caller (160)
    LibraryCallback callback;      // 12
    std::int32_t trace;            // 16: flag
    char* password;                // 20: 81-byte buffer, the password cut to 80 characters
    const char* storeSuffixes;     // 24: ".gif:.png:…" stored without compression; null: none
    std::int32_t encrypt;          // 28: flag
    std::int32_t addHiddenFiles;   // 32: flag
    std::int32_t reserved36;       // 36: 0
    std::int32_t reserved40;       // 40: 0
    std::int32_t noSeparateDirs;   // 44: flag: folders are not stored as entries of their own
    std::int32_t reserved48;       // 48: 0
    std::int32_t verbose;          // 52: flag
    std::int32_t constantMinus56;  // 56: -1
    std::int32_t level;            // 60: compression level 0-9
    std::int32_t reserved64;       // 64: 0
    std::int32_t reserved68;       // 68: 0
    std::int32_t noDirNames;       // 72: flag: store file names without their folders
    std::uint16_t recurseDirs;     // 76: 0xFFFF to recurse into sub-folders, else 0
    std::uint16_t reserved78;      // 78: 0
    std::int32_t constantMinus80;  // 80: -1 (0 for a delete)
    std::int32_t forceDos;         // 84: flag: names in upper-case 8.3 form
    std::int32_t move;             // 88: flag: delete each source file once it is safely stored
    std::int32_t deleteEntries;    // 92: flag: the specifications name entries to delete
    std::int32_t update;           // 96: flag: add new files, replace entries older than the file
    std::int32_t freshen;          // 100: flag: only replace entries older than the file
    std::int32_t reserved104;      // 104: 0
    std::int32_t zipTime;          // 108: flag: the archive gets the date of its newest entry
    std::int32_t reserved112;      // 112: 0
    std::int32_t reserved116;      // 116: 0
    std::int32_t specCount;        // 120: number of file specifications
    const char* archiveName;       // 124
    const char* tempDir;           // 128: folder for the new archive; null: beside the archive
    const char* comment;           // 132*: archive comment (archive form); null: none
    std::uint16_t archiveOnly;     // 136*: 1: only files whose archive bit is set
    std::uint16_t resetArchive;    // 138*: 1: clear the archive bit of each file stored
    FileSpecEntry* specs;          // 140: specCount entries
    std::int32_t reserved144;      // 144: 0
    std::int32_t exclusionCount;   // 148*: number of exclusion specifications
    const char** exclusions;       // 152*: exclusionCount DOS wildcard specifications
    std::uint8_t reserved156[56];  // 156: 0
    std::int32_t check;            // 212: kCommandRecordCheck
};

// Command record of UnzExec (148 bytes in the 32-bit layout).
struct UnzipCommand {
    void* handle;                   // 0: window handle, 0 when unattended
    void* caller;                   // 4
    std::int32_t version;           // 8: 160
    LibraryCallback callback;       // 12
    std::int32_t trace;             // 16: flag
    std::int32_t reserved20;        // 20: 0
    char* password;                 // 24: password buffer
    std::int32_t test;              // 28: flag: test (full CRC check) instead of extracting
    std::int32_t reserved32;        // 32: 0
    std::int32_t reserved36;        // 36: 0
    std::int32_t constantMinus40;   // 40: -1
    std::int32_t verbose;           // 44: flag
    std::int32_t update;            // 48: flag: extract new files, replace older ones
    std::int32_t freshen;           // 52: flag: only replace files older than the entry
    std::int32_t dirNames;          // 56: flag: recreate the stored folders
    std::int32_t overwrite;         // 60: flag: replace existing files without asking
    std::int32_t specCount;         // 64: number of specifications; 0 means every entry
    const char* archiveName;        // 68
    UnzFileSpecEntry* specs;        // 72
    std::uint8_t reserved76[28];    // 76: 0
    std::int32_t passwordReqCount;  // 104: times the library may ask for a password (0-15)
    std::uint8_t reserved108[36];   // 108: 0
    std::int32_t check;             // 144: kCommandRecordCheck
};

// Exports of libvpkzip.so and libvpkunz.so (C linkage, looked up by name).
extern "C" {
typedef std::int32_t (*ZipExecFn)(ZipCommand* command);
typedef std::int32_t (*GetZipVersionFn)();
typedef std::int32_t (*UnzExecFn)(UnzipCommand* command);
typedef std::int32_t (*GetUnzVersionFn)();
}

// Names of the libraries and their exports.
inline constexpr const char* kZipLibraryName = "libvpkzip.so";
inline constexpr const char* kUnzLibraryName = "libvpkunz.so";
inline constexpr const char* kZipExecName = "ZipExec";
inline constexpr const char* kGetZipVersionName = "GetZipVersion";
inline constexpr const char* kUnzExecName = "UnzExec";
inline constexpr const char* kGetUnzVersionName = "GetUnzVersion";

}  // namespace vpk

// The exported functions, declared for the libraries that define them. They return the number of
// entries processed (added, replaced, deleted, extracted or tested); 0 when nothing was done or the
// operation failed (the reason was reported through the callback).
extern "C" {
std::int32_t ZipExec(vpk::ZipCommand* command);
std::int32_t GetZipVersion();
std::int32_t UnzExec(vpk::UnzipCommand* command);
std::int32_t GetUnzVersion();
}
