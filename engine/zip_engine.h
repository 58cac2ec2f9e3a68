#pragma once
// TZipEngine: the component through which the programs read and write ZIP archives. It keeps one
// current archive (name, directory, comment), turns its option properties into the command records of
// the zip and unzip libraries, turns the libraries' callbacks into its events, and reports numbered
// messages (zip_messages.h).
//
// Contract:
//  - Every operation runs on the calling thread and returns when done; every event is raised on that
//    thread. During a library call the engine lets the application process pending events once per
//    callback (ProcessPendingEvents), so a handler may set Cancel or request another operation.
//  - A second add/delete (or extract) requested while one of the same kind runs does nothing; an
//    extraction and an add or delete may overlap through such nested event handling.
//  - The engine never opens a window: questions go through its events, message boxes through the
//    Dialogs interface, and none at all when Unattended.
//  - Errors inside an operation are caught and reported by it; callers see SuccessCount, ErrorCode,
//    LastMessage, integer results and OnMessage.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/code_page_rule.h"
#include "engine/library_interface.h"
#include "engine/zip_dir_entry.h"
#include "engine/zip_dir_reader.h"
#include "engine/zip_engine_types.h"

namespace vpk {

class EZipEngine;
using UnZipSkipTypes = UnzSkipType;

class TZipEngine {
  public:
    TZipEngine();
    ~TZipEngine();
    TZipEngine(const TZipEngine&) = delete;
    TZipEngine& operator=(const TZipEngine&) = delete;

    // --- Published properties, in their declared order ---
    bool Verbose() const { return verbose_; }
    void SetVerbose(bool on) { verbose_ = on; }
    bool Trace() const { return trace_; }
    void SetTrace(bool on) { trace_ = on; }
    int AddCompLevel() const { return addCompLevel_; }
    void SetAddCompLevel(int level) { addCompLevel_ = level; }
    AddOpts AddOptions() const { return addOptions_; }
    void SetAddOptions(AddOpts options) { addOptions_ = options; }
    const std::string& ExtrBaseDir() const { return extrBaseDir_; }
    void SetExtrBaseDir(std::string folder) { extrBaseDir_ = std::move(folder); }
    ExtrOpts ExtrOptions() const { return extrOptions_; }
    void SetExtrOptions(ExtrOpts options) { extrOptions_ = options; }
    SFXOpts SFXOptions() const { return sfxOptions_; }
    void SetSFXOptions(SFXOpts options) { sfxOptions_ = options; }
    // Specifications or entry names of the next operation; cleared by it.
    std::vector<std::string>& FSpecArgs() { return fSpecArgs_; }
    const std::vector<std::string>& FSpecArgs() const { return fSpecArgs_; }
    bool Unattended() const { return unattended_; }
    void SetUnattended(bool on) { unattended_ = on; }
    const std::string& ZipFileName() const { return zipFileName_; }
    // Stores the name and lists the archive (an empty or missing file gives an empty directory).
    void SetZipFileName(std::string name);
    const std::string& Password() const { return password_; }
    void SetPassword(std::string_view password);  // kept to 255 characters
    const std::string& SFXPath() const { return sfxPath_; }
    void SetSFXPath(std::string path) { sfxPath_ = std::move(path); }
    const std::string& DLLDirectory() const { return dllDirectory_; }
    void SetDLLDirectory(std::string folder);  // a trailing backslash (or slash) is removed
    OvrOpts SFXOverWriteMode() const { return sfxOverWriteMode_; }
    void SetSFXOverWriteMode(OvrOpts mode) { sfxOverWriteMode_ = mode; }
    const std::string& SFXCaption() const { return sfxCaption_; }
    void SetSFXCaption(std::string text) { sfxCaption_ = std::move(text); }
    const std::string& SFXDefaultDir() const { return sfxDefaultDir_; }
    void SetSFXDefaultDir(std::string text) { sfxDefaultDir_ = std::move(text); }
    const std::string& SFXCommandLine() const { return sfxCommandLine_; }
    void SetSFXCommandLine(std::string text) { sfxCommandLine_ = std::move(text); }
    const std::string& SFXMessage() const { return sfxMessage_; }
    void SetSFXMessage(std::string text) { sfxMessage_ = std::move(text); }
    const std::string& TempDir() const { return tempDir_; }
    void SetTempDir(std::string folder) { tempDir_ = std::move(folder); }
    CodePageOpts CodePage() const { return codePage_; }
    void SetCodePage(CodePageOpts codePage) { codePage_ = codePage; }
    DeleteOpts HowToDelete() const { return howToDelete_; }
    void SetHowToDelete(DeleteOpts how) { howToDelete_ = how; }
    std::string VersionInfo() const { return "1.60"; }
    void SetVersionInfo(std::string_view) {}  // read only: assignments are ignored
    // The icon as the bytes of an icon file; empty when none.
    const std::string& SFXIcon() const { return sfxIcon_; }
    void SetSFXIcon(std::string iconFile) { sfxIcon_ = std::move(iconFile); }
    AddStoreSuffixSet AddStoreSuffixes() const { return addStoreSuffixes_; }
    void SetAddStoreSuffixes(AddStoreSuffixSet suffixes) { addStoreSuffixes_ = suffixes; }
    std::uint32_t PasswordReqCount() const { return passwordReqCount_; }
    void SetPasswordReqCount(std::uint32_t count);  // above 15 is stored as 15
    std::vector<std::string>& FSpecArgsExcl() { return fSpecArgsExcl_; }
    const std::vector<std::string>& FSpecArgsExcl() const { return fSpecArgsExcl_; }

    // --- Run-time state ---
    const std::vector<ZipDirEntry>& Entries() const { return directory_.entries; }
    int EntryCount() const { return zipFileName_.empty() ? 0 : static_cast<int>(directory_.entries.size()); }
    // The stored comment converted to text; assigning writes it into the archive (empty keeps it).
    std::string ArchiveComment() const;
    void SetArchiveComment(std::string_view text);
    int SuccessCount() const { return successCount_; }
    int ErrorCode() const { return errorCode_; }
    const std::string& LastMessage() const { return lastMessage_; }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    std::uint64_t PrefixSize() const { return directory_.prefixSize; }
    bool ZipBusy() const { return zipBusy_; }
    bool UnzipBusy() const { return unzipBusy_; }
    // What the last listing found about the file's layout (end record, directory starts, disks).
    const ArchiveLayout& Layout() const { return directory_.layout; }
    // Window handle handed to the libraries when not Unattended (set by the window that owns the engine).
    void SetApplicationHandle(void* handle) { applicationHandle_ = handle; }
    void* ApplicationHandle() const { return applicationHandle_; }
    // The comment as stored in the archive (its code page), handed to the zip library with every add.
    const std::string& StoredComment() const { return directory_.comment; }

    // --- Operations ---
    void List();
    void AddFiles();
    void DeleteFiles();
    void ExtractFiles();
    // 0 success; -1 destination not created; -2 read/write error; -3 source missing or unreadable;
    // -4 the date could not be set (the copy is kept); -9 the sizes differ. An existing destination is
    // replaced only once the new copy is complete: on failure the old one is still there.
    int CopyArchiveFile(std::string_view source, std::string_view destination);
    // -1 when the file is missing; else 0 on success, another non-zero value when the deletion failed.
    int RemoveFile(std::string_view name, DeleteOpts how);
    std::string ConvertOEM(std::string_view text, CodePageDirection direction) const;

    // --- Self-extracting and multi-disk archives (sfx_conversion.cpp, span_reader.cpp) ---
    // Turns the ".ZIP" ZipFileName into a self-extracting ".exe" beside it (stub, header block, the
    // archive with its offsets moved), removes the ".zip" and makes the ".exe" current. 0 success;
    // -1 output not created; -2 write error; -3 stub or archive unreadable; -9 a check failed or the
    // output's size is wrong; -10 no icon place in the stub, -11 icon write failed, -12 SFXIcon is not
    // one 32 x 32 16-colour icon. On failure the ".zip" stays as it was and no output is left.
    int MakeSelfExtracting();
    // The reverse: the ".EXE" ZipFileName back to a ".zip" beside it, which becomes current; the SFX
    // properties and SFXIcon are read back from the ".exe". 0 success; -1, -3, -9 as above; -10 out of
    // memory.
    int MakePlainArchive();
    // Joins the multi-disk archive whose last piece is `archive` into one archive. target: a folder
    // (a unique "zip….zip" is made in it) or a file name; the result always gets ".zip" and its name is
    // handed back in target (emptied on failure). 0 success; -7 archive error; -8 out of memory; -9
    // any other error.
    int ReadSpan(const std::string& archive, std::string& target);
    // Reports a numbered message (with an optional text after it): LastMessage, ErrorCode, a box unless
    // Unattended, OnMessage with ErrCode 0.
    void ShowZipMessage(int messageId, std::string_view extra = {});

    // --- Events ---
    std::function<void(TZipEngine& sender)> OnDirUpdate;
    std::function<void(TZipEngine& sender, ProgressType type, const std::string& fileName,
                       std::int64_t fileSize)>
        OnProgress;
    std::function<void(TZipEngine& sender, int errCode, const std::string& message)> OnMessage;
    std::function<void(TZipEngine& sender, std::string& oldFileName, bool& isChanged)> OnSetNewName;
    std::function<void(TZipEngine& sender, int seqNo, const ZipDirEntry& zipEntry)> OnNewName;
    std::function<void(TZipEngine& sender, std::string& newPassword, const std::string& forFile,
                       std::uint32_t& repeatCount)>
        OnPasswordError;
    std::function<void(TZipEngine& sender, const std::string& forFile, std::uint32_t foundCrc,
                       std::uint32_t expectedCrc, bool& doExtract)>
        OnCRC32Error;
    std::function<void(TZipEngine& sender, const std::string& forFile, bool isOlder, bool& doOverwrite)>
        OnExtractOverwrite;
    std::function<void(TZipEngine& sender, const std::string& forFile, UnZipSkipTypes skipType, int extError)>
        OnExtractSkipped;

    // The libraries' callback (LibraryCallback): record->caller is the engine.
    static std::int32_t LibraryCallbackEntry(CallbackRecord* record);

  private:
    void ReportException(const EZipEngine& error);
    void HandleCallback(CallbackRecord& record);
    void AnswerPasswordRequest(CallbackRecord& record);
    void RunZipLibrary(bool deleting);
    void WriteComment(const std::string& stored);
    // MakeSelfExtracting; the automatic form writes stub, block and an empty archive under
    // ZipFileName itself (AddFiles on a new ".EXE").
    int WriteSelfExtracting(bool automatic);

    bool verbose_ = false;
    bool trace_ = false;
    int addCompLevel_ = 9;
    AddOpts addOptions_;
    std::string extrBaseDir_;
    ExtrOpts extrOptions_;
    SFXOpts sfxOptions_{SFXOptsEnum::SFXCheckSize};
    std::vector<std::string> fSpecArgs_;
    bool unattended_ = false;
    std::string zipFileName_;
    std::string password_;
    std::string sfxPath_ = "VpkSFX.bin";
    std::string dllDirectory_;
    OvrOpts sfxOverWriteMode_ = OvrOpts::OvrConfirm;
    std::string sfxCaption_ = "Self-extracting Archive";
    std::string sfxDefaultDir_, sfxCommandLine_, sfxMessage_;
    std::string tempDir_;
    CodePageOpts codePage_ = CodePageOpts::cpAuto;
    DeleteOpts howToDelete_ = DeleteOpts::htdAllowUndo;
    std::string sfxIcon_;
    AddStoreSuffixSet addStoreSuffixes_ = DefaultStoreSuffixes();
    std::uint32_t passwordReqCount_ = 1;
    std::vector<std::string> fSpecArgsExcl_;

    ZipDirectory directory_;
    int successCount_ = 0;
    int errorCode_ = 0;
    std::string lastMessage_;
    bool cancel_ = false;
    bool zipBusy_ = false;
    bool unzipBusy_ = false;
    void* applicationHandle_ = nullptr;
    std::int64_t sizeTotal_ = 0;   // bytes the library announced for the running operation
    bool callbackFailed_ = false;  // an event handler raised during the running library call
};

}  // namespace vpk
