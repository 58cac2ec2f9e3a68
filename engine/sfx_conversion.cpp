// TZipEngine: converting archives to and from self-extracting form.
#include <cctype>
#include <filesystem>
#include <new>

#include "engine/ezip_engine.h"
#include "engine/sfx_archive_copy.h"
#include "engine/sfx_block.h"
#include "engine/sfx_icon_stamp.h"
#include "engine/sfx_stub_locator.h"
#include "engine/zip_engine.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"

namespace vpk {

namespace {

constexpr int kResultNotCreated = -1;
constexpr int kResultWriteError = -2;
constexpr int kResultUnreadable = -3;
constexpr int kResultOutOfMemoryPlain = -10;
constexpr int kResultCheckFailed = -9;
constexpr std::size_t kStubCopyBlock = 64 * 1024;

bool HasExtension(const std::string& name, std::string_view extension) {
    if (name.size() < extension.size()) return false;
    for (std::size_t i = 0; i < extension.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(name[name.size() - extension.size() + i])) !=
            extension[i])
            return false;
    return true;
}

std::string WithExtension(const std::string& name, std::string_view extension) {
    const std::size_t separator = name.find_last_of("\\/");
    const std::size_t dot = name.rfind('.');
    const bool has = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return (has ? name.substr(0, dot) : name) + std::string(extension);
}

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return ".";
    if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

// The output is written under a temporary name beside its final one and put in place only when
// complete, so a failed conversion never costs an existing file of that name.
class PendingOutput {
  public:
    explicit PendingOutput(const std::string& finalName) : finalName_(Fs().FullPath(finalName)) {
        if (finalName_.empty()) finalName_ = finalName;
        temp_ = Fs().TempFileName(FolderOf(finalName_), "vpk");
    }
    ~PendingOutput() {
        if (!temp_.empty()) {
            if (file.IsOpen()) {
                try {
                    file.Close();
                } catch (const PlatformError&) {
                }
            }
            Fs().DeleteFile(temp_);
        }
    }
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    bool Create() {
        if (temp_.empty()) return false;
        try {
            file.Open(temp_, File::Mode::Create);
            return true;
        } catch (const PlatformError&) {
            return false;
        }
    }
    bool Close() {
        try {
            file.Sync();
            file.Close();
            return true;
        } catch (const PlatformError&) {
            return false;
        }
    }
    std::uint64_t Size() const {
        const auto info = Fs().Stat(temp_);
        return info ? info->size : 0;
    }
    // Replaces any file of the final name (removed the engine's way) by the output.
    bool Commit(TZipEngine& engine, bool executable) {
        if (executable) {
            if (auto host = Fs().ToHost(temp_)) {
                std::error_code ignored;
                namespace fs = std::filesystem;
                fs::permissions(*host, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                                fs::perm_options::add, ignored);
            }
        }
        if (Fs().FileExists(finalName_)) engine.RemoveFile(finalName_, engine.HowToDelete());
        if (!Fs().RenameFile(temp_, finalName_)) return false;
        temp_.clear();
        return true;
    }
    const std::string& FinalName() const { return finalName_; }

    File file;

  private:
    std::string finalName_;
    std::string temp_;
};

SfxSettings SettingsOf(const TZipEngine& engine) {
    SfxSettings s;
    s.options = engine.SFXOptions();
    s.overwrite = engine.SFXOverWriteMode();
    s.caption = engine.SFXCaption();
    s.defaultDir = engine.SFXDefaultDir();
    s.commandLine = engine.SFXCommandLine();
    s.message = engine.SFXMessage();
    return s;
}

void ApplySettings(TZipEngine& engine, const SfxSettings& s) {
    engine.SetSFXOptions(s.options);
    engine.SetSFXOverWriteMode(s.overwrite);
    engine.SetSFXCaption(s.caption);
    engine.SetSFXDefaultDir(s.defaultDir);
    engine.SetSFXCommandLine(s.commandLine);
    engine.SetSFXMessage(s.message);
}

int CopyResultCode(ArchiveCopyResult result, int otherError) {
    return result == ArchiveCopyResult::Ok ? 0 : otherError;
}

}  // namespace

int TZipEngine::MakeSelfExtracting() {
    return WriteSelfExtracting(false);
}

int TZipEngine::WriteSelfExtracting(bool automatic) {
    if (!automatic && (zipFileName_.empty() || !Fs().FileExists(zipFileName_))) {
        ShowZipMessage(zipmsg::kNoZipFile);
        return kResultCheckFailed;
    }
    const SfxSettings settings = SettingsOf(*this);
    const std::size_t blockLength = SfxBlockLength(settings);
    if (SfxTextsTooLong(settings)) {
        ShowZipMessage(zipmsg::kSfxTextTooLong,
                       "\r\nSFXCaption + SFXDefaultDir + SFXCommandLine + SFXMessage = " +
                           std::to_string(blockLength + 1));
        return kResultCheckFailed;
    }
    const std::string stubPath = FindSfxStub(sfxPath_, dllDirectory_);
    if (stubPath.empty()) {
        ShowZipMessage(zipmsg::kSfxStubNotFound);
        return kResultCheckFailed;
    }
    sfxPath_ = stubPath;
    const std::string block = BuildSfxBlock(settings);
    if (!automatic && !HasExtension(zipFileName_, ".ZIP")) {
        ShowZipMessage(zipmsg::kSfxNotZip);
        return kResultCheckFailed;
    }
    const std::string source = zipFileName_;
    PendingOutput output(automatic ? zipFileName_ : WithExtension(zipFileName_, ".exe"));
    if (!output.Create()) return kResultNotCreated;

    File stub;
    try {
        stub.Open(stubPath, File::Mode::Read);
    } catch (const PlatformError&) {
        return kResultUnreadable;
    }
    std::uint64_t stubSize = 0;
    try {
        std::vector<char> buffer(kStubCopyBlock);
        for (;;) {
            const std::size_t n = stub.Read(buffer.data(), buffer.size());
            if (n == 0) break;
            try {
                output.file.Write(buffer.data(), n);
            } catch (const PlatformError&) {
                return kResultWriteError;
            }
            stubSize += n;
        }
    } catch (const PlatformError&) {
        return kResultUnreadable;
    }
    if (!sfxIcon_.empty()) {
        const int stamped = StampSfxIcon(stub, output.file, stubSize, sfxIcon_);
        if (stamped != kIconStamped) return stamped;
    }
    try {
        output.file.Write(block.data(), block.size());
    } catch (const PlatformError&) {
        return kResultWriteError;
    }
    const std::uint64_t shift = stubSize + blockLength;
    std::uint64_t archiveLength = 0;
    if (automatic) {
        std::uint8_t record[zip::kEndRecordSize] = {};
        zip::EndRecord end;
        end.directoryOffset = static_cast<std::uint32_t>(shift);
        end.Write(record);
        try {
            output.file.Write(record, sizeof record);
        } catch (const PlatformError&) {
            return kResultWriteError;
        }
        archiveLength = zip::kEndRecordSize;
    } else {
        File input;
        EndRecordLocation where;
        try {
            input.Open(source, File::Mode::Read);
            FileArchiveSource reader(source);
            where = FindEndRecord(reader, EndRecordMode::MustFind, {}, {});
        } catch (const std::exception&) {
            return kResultUnreadable;
        }
        ArchiveCopyResult copied;
        if (DirectoryStartsDiffer(where)) {
            copied = CopyFileRange(input, 0, output.file);
            archiveLength = where.trueLength;
        } else {
            copied = CopyArchiveShifted(input, where, 0, static_cast<std::int64_t>(shift), output.file);
            archiveLength = where.fileEnd;
        }
        if (const int code = CopyResultCode(copied, kResultWriteError); code != 0) return code;
    }
    if (!output.Close()) return kResultWriteError;
    if (output.Size() != shift + archiveLength) return kResultCheckFailed;
    if (!output.Commit(*this, true)) return kResultNotCreated;
    if (!automatic) RemoveFile(source, howToDelete_);
    SetZipFileName(output.FinalName());
    return 0;
}

int TZipEngine::MakePlainArchive() {
    if (zipFileName_.empty() || !Fs().FileExists(zipFileName_)) {
        ShowZipMessage(zipmsg::kPlainNoExe);
        return kResultUnreadable;
    }
    if (!HasExtension(zipFileName_, ".EXE")) {
        ShowZipMessage(zipmsg::kPlainNotExe);
        return kResultUnreadable;
    }
    const std::uint64_t prefix = directory_.prefixSize;
    if (prefix == 0) {
        ShowZipMessage(zipmsg::kPlainSfxType);
        return kResultCheckFailed;
    }
    const std::string source = zipFileName_;
    PendingOutput output(WithExtension(source, ".zip"));
    if (!output.Create()) return kResultNotCreated;
    try {
        File input(source, File::Mode::Read);
        FileArchiveSource reader(source);
        const EndRecordLocation where = FindEndRecord(reader, EndRecordMode::MustFind, {}, {});

        const std::size_t span =
            static_cast<std::size_t>(std::min<std::uint64_t>(prefix, kSfxBlockSearchSpan));
        std::string before(span, '\0');
        if (input.ReadAt(before.data(), span, prefix - span) != span) return kResultUnreadable;
        if (const std::size_t hit = FindSfxBlock(before); hit != std::string::npos) {
            if (auto read = ParseSfxBlock(std::string_view(before).substr(hit), SettingsOf(*this))) {
                const std::uint64_t stubSize = prefix - span + hit;
                if (std::string icon = ReadSfxIcon(input, stubSize); !icon.empty())
                    sfxIcon_ = std::move(icon);
                ApplySettings(*this, *read);
            }
        }
        ArchiveCopyResult copied;
        std::uint64_t end = 0;
        if (directory_.layout.directoryStartsDiffer || DirectoryStartsDiffer(where)) {
            copied = CopyFileRange(input, prefix, output.file);
            end = where.trueLength;
        } else {
            copied =
                CopyArchiveShifted(input, where, prefix, -static_cast<std::int64_t>(prefix), output.file);
            end = where.fileEnd;
        }
        if (copied == ArchiveCopyResult::OutOfMemory) return kResultOutOfMemoryPlain;
        if (copied != ArchiveCopyResult::Ok) return kResultUnreadable;
        if (!output.Close()) return kResultUnreadable;
        if (end < prefix || output.Size() != end - prefix) return kResultCheckFailed;
    } catch (const std::bad_alloc&) {
        return kResultOutOfMemoryPlain;
    } catch (const std::exception&) {
        return kResultUnreadable;
    }
    if (!output.Commit(*this, false)) return kResultNotCreated;
    RemoveFile(source, howToDelete_);
    SetZipFileName(output.FinalName());
    return 0;
}

}  // namespace vpk
