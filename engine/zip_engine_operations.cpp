// TZipEngine: the operations carried out by the zip and unzip libraries.
#include <filesystem>
#include <new>

#include "engine/command_records.h"
#include "engine/ezip_engine.h"
#include "engine/library_binding.h"
#include "engine/zip_engine.h"
#include "engine/zip_messages.h"
#include "platform/file_system.h"

namespace vpk {

namespace {

// Clears a flag on every way out of the scope.
class FlagGuard {
  public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

  private:
    bool& flag_;
};

// The libraries resolve relative paths from the engine's current folder; a library that keeps its own
// view of the file system starts from the process's working folder, which follows the engine's
// current folder for the length of the call.
class WorkingFolderScope {
  public:
    WorkingFolderScope() {
        std::error_code ignored;
        saved_ = std::filesystem::current_path(ignored);
        if (auto host = Fs().ToHost(Fs().CurrentFolder())) std::filesystem::current_path(*host, ignored);
    }
    ~WorkingFolderScope() {
        std::error_code ignored;
        if (!saved_.empty()) std::filesystem::current_path(saved_, ignored);
    }
    WorkingFolderScope(const WorkingFolderScope&) = delete;
    WorkingFolderScope& operator=(const WorkingFolderScope&) = delete;

  private:
    std::filesystem::path saved_;
};

bool EndsWithExe(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tail == ".EXE";
}

}  // namespace

void TZipEngine::AddFiles() {
    successCount_ = 0;
    if (fSpecArgs_.empty()) return ShowZipMessage(zipmsg::kNoFilesToZip);
    if (zipFileName_.empty()) return ShowZipMessage(zipmsg::kNoZipFile);
    if (unattended_ && addOptions_.Has(AddOptsEnum::AddEncrypt) && password_.empty())
        return ShowZipMessage(zipmsg::kUnattendedNoPassword);
    if (zipBusy_) return;
    if (EndsWithExe(zipFileName_) && directory_.prefixSize == 0 && !Fs().FileExists(zipFileName_)) {
        // A self-extracting archive starts as stub, header block and an empty archive.
        if (const int result = WriteSelfExtracting(true); result != 0) {
            ReportException(EZipEngine(zipmsg::kAutoSfxFailed, static_cast<long long>(result)));
            return;
        }
    }
    RunZipLibrary(false);
}

void TZipEngine::DeleteFiles() {
    successCount_ = 0;
    if (fSpecArgs_.empty()) return ShowZipMessage(zipmsg::kNoFilesToDelete);
    if (zipFileName_.empty() || !Fs().FileExists(zipFileName_)) return ShowZipMessage(zipmsg::kNoZipFile);
    if (zipBusy_) return;
    RunZipLibrary(true);
}

void TZipEngine::RunZipLibrary(bool deleting) {
    {
        LibraryLease library(EngineLibrary::Zip, dllDirectory_, trace_,
                             [this](int id, std::string_view extra) { ShowZipMessage(id, extra); });
        if (library.Ok()) {
            FlagGuard busy(zipBusy_);
            cancel_ = false;
            try {
                const std::int32_t version = library.Version();
                if (version < kFirstZipRecordVersion) {
                    ShowZipMessage(zipmsg::kLibraryAbortZip,
                                   "\nunsupported library version " + std::to_string(version));
                } else {
                    ZipCommandBuilder command(*this, version, deleting);
                    WorkingFolderScope folder;
                    callbackFailed_ = false;
                    successCount_ = library.ZipExec(command.Record());
                    if (callbackFailed_) ShowZipMessage(zipmsg::kLibraryAbortZip);
                }
            } catch (const EZipEngine& error) {
                ReportException(error);
            } catch (const std::exception&) {
                ShowZipMessage(zipmsg::kLibraryAbortZip);
            }
            cancel_ = false;
        }
    }
    fSpecArgs_.clear();
    fSpecArgsExcl_.clear();
    if (successCount_ > 0) List();
}

void TZipEngine::ExtractFiles() {
    successCount_ = 0;
    if (zipFileName_.empty() || !Fs().FileExists(zipFileName_)) return ShowZipMessage(zipmsg::kNoZipFile);
    if (unzipBusy_) return;
    const std::uint32_t savedRequests = passwordReqCount_;
    const bool noPasswordSource = unattended_ && password_.empty() && !OnPasswordError;
    if (noPasswordSource) {
        passwordReqCount_ = 0;
        ShowZipMessage(zipmsg::kUnattendedExtract);
    }
    {
        FlagGuard busy(unzipBusy_);
        cancel_ = false;
        LibraryLease library(EngineLibrary::Unzip, dllDirectory_, trace_,
                             [this](int id, std::string_view extra) { ShowZipMessage(id, extra); });
        if (library.Ok()) {
            // A multi-disk set is joined into one temporary archive first; the library works on that.
            std::string joined;
            bool ready = true;
            if (directory_.layout.IsMultiDisk()) {
                joined = tempDir_.empty() ? Fs().ToVirtual(std::filesystem::temp_directory_path().string())
                                          : tempDir_;
                ready = ReadSpan(zipFileName_, joined) == 0;
            }
            if (ready) {
                try {
                    // Named before the current folder moves, so a relative name still finds it.
                    const std::string archive = !joined.empty()          ? joined
                                                : zipFileName_[0] == '/' ? zipFileName_
                                                                         : Fs().FullPath(zipFileName_);
                    if (!extrBaseDir_.empty() && Fs().FolderExists(extrBaseDir_))
                        Fs().SetCurrentFolder(extrBaseDir_);
                    const std::int32_t version = library.Version();
                    if (version < kFirstUnzipRecordVersion) {
                        ShowZipMessage(zipmsg::kLibraryAbortUnz,
                                       "\nunsupported library version " + std::to_string(version));
                    } else {
                        UnzipCommandBuilder command(*this, version, archive);
                        WorkingFolderScope folder;
                        callbackFailed_ = false;
                        successCount_ = library.UnzExec(command.Record());
                        if (callbackFailed_) ShowZipMessage(zipmsg::kLibraryAbortUnz);
                    }
                } catch (const EZipEngine& error) {
                    ReportException(error);
                } catch (const std::exception&) {
                    ShowZipMessage(zipmsg::kLibraryAbortUnz);
                }
                if (!joined.empty()) Fs().DeleteFile(joined);
            }
        }
        cancel_ = false;
    }
    fSpecArgs_.clear();
    if (noPasswordSource) passwordReqCount_ = savedRequests;
}

}  // namespace vpk
