#include "engine/zip_engine.h"

#include <cctype>
#include <memory>
#include <new>

#include "engine/ezip_engine.h"
#include "engine/span_disks.h"
#include "engine/zip_format.h"
#include "engine/zip_messages.h"
#include "platform/dialogs.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"

namespace vpk {

namespace {

constexpr std::size_t kMaxPasswordLength = 255;
constexpr std::uint32_t kMaxPasswordRequests = 15;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

void ShowBox(const std::string& text) {
    DialogRequest request;
    request.caption = "vortipak";
    request.lines = SplitLines(text);
    request.buttons = {"OK"};
    Dialogs::Current().Ask(request);
}

}  // namespace

TZipEngine::TZipEngine() = default;
TZipEngine::~TZipEngine() = default;

void TZipEngine::SetZipFileName(std::string name) {
    zipFileName_ = std::move(name);
    List();
}

void TZipEngine::SetPassword(std::string_view password) {
    password_ = std::string(password.substr(0, kMaxPasswordLength));
}

void TZipEngine::SetDLLDirectory(std::string folder) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    dllDirectory_ = std::move(folder);
}

void TZipEngine::SetPasswordReqCount(std::uint32_t count) {
    passwordReqCount_ = std::min(count, kMaxPasswordRequests);
}

std::string TZipEngine::ConvertOEM(std::string_view text, CodePageDirection direction) const {
    const CodePageContext context{codePage_, directory_.layout.lastHostSystem,
                                  directory_.layout.lastMadeByVersion};
    return vpk::ConvertOEM(text, direction, context);
}

void TZipEngine::ShowZipMessage(int messageId, std::string_view extra) {
    std::string text = zipmsg::ZipMessageText(messageId);
    text += extra;
    lastMessage_ = text;
    errorCode_ = messageId;
    if (!unattended_) ShowBox(text);
    if (OnMessage) OnMessage(*this, 0, text);
}

void TZipEngine::ReportException(const EZipEngine& error) {
    lastMessage_ = error.what();
    errorCode_ = error.MessageId();
    if (!unattended_ && error.ShowToUser()) ShowBox(lastMessage_);
    if (OnMessage) OnMessage(*this, 0, lastMessage_);
}

void TZipEngine::List() {
    directory_ = ZipDirectory{};
    if (zipFileName_.empty() || !Fs().FileExists(zipFileName_)) {
        if (OnDirUpdate) OnDirUpdate(*this);
        return;
    }
    std::unique_ptr<SpanDisks> disks;
    try {
        std::string label;
        const std::string full = Fs().FullPath(zipFileName_);
        if (!full.empty() && full[0] != '\\' && full[0] != '/') {
            const std::string root = full.substr(0, 3);
            const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(full[0])));
            if (letter < 'A' || letter > 'Z' || full.size() < 2 || full[1] != ':')
                throw EZipEngine(zipmsg::kInvalidDrive, std::string_view(root));
            const DriveType type = Fs().TypeOfDrive(letter);
            if (type == DriveType::NoRootDir || type == DriveType::Unknown || !Fs().DiskPresent(letter))
                throw EZipEngine(zipmsg::kDriveUndefined, std::string_view(root));
            label = Fs().VolumeLabel(letter).value_or("");
        }
        std::unique_ptr<FileArchiveSource> source;
        try {
            source = std::make_unique<FileArchiveSource>(zipFileName_);
        } catch (const PlatformError&) {
            throw EZipEngine(zipmsg::kInputMissing, true);
        }
        ZipDirReaderHooks hooks;
        hooks.warn = [this](int id) { ShowZipMessage(id); };
        hooks.entry = [this](int seq, const ZipDirEntry& entry) {
            if (OnNewName) OnNewName(*this, seq, entry);
        };
        hooks.openDisk = [this, &disks](std::uint32_t disk) -> ArchiveSource* {
            if (!disks) disks = std::make_unique<SpanDisks>(zipFileName_, unattended_);
            return disks->Open(disk, directory_.layout.endRecordDisk);
        };
        ReadZipDirectory(*source, label, codePage_, hooks, directory_);
    } catch (const EZipEngine& error) {
        ReportException(error);
        zipFileName_.clear();
    } catch (const std::bad_alloc&) {
        ShowZipMessage(zipmsg::kOutOfMemory);
        zipFileName_.clear();
    } catch (const std::exception& error) {
        ShowZipMessage(zipmsg::kListUnknownError, error.what());
        zipFileName_.clear();
    }
    if (zipFileName_.empty()) directory_.prefixSize = 0;
    if (OnDirUpdate) OnDirUpdate(*this);
}

std::string TZipEngine::ArchiveComment() const {
    return ConvertOEM(directory_.comment, CodePageDirection::ArchiveToText);
}

void TZipEngine::SetArchiveComment(std::string_view text) {
    if (!text.empty()) {
        std::string stored = ConvertOEM(text, CodePageDirection::TextToArchive);
        // A zero byte would end the comment for every reader; the field holds at most 65535 bytes.
        stored = stored.substr(0, std::min(stored.find('\0'), zip::kMaxCommentSize));
        directory_.comment = std::move(stored);
    }
    WriteComment(directory_.comment);
}

void TZipEngine::WriteComment(const std::string& stored) {
    bool written = false;
    try {
        if (zipFileName_.empty()) throw EZipEngine(zipmsg::kInputMissing, true);
        File file;
        try {
            file.Open(zipFileName_, File::Mode::ReadWrite);
        } catch (const PlatformError&) {
            throw EZipEngine(zipmsg::kCannotOpen, true);
        }
        const std::uint64_t position = directory_.layout.endRecordPosition;
        std::uint8_t bytes[zip::kEndRecordSize];
        zip::EndRecord record;
        try {
            if (file.ReadAt(bytes, sizeof bytes, position) != sizeof bytes || !record.Parse(bytes))
                throw EZipEngine(zipmsg::kEndRecordReadError, true);
        } catch (const PlatformError&) {
            throw EZipEngine(zipmsg::kSeekError, true);
        }
        // The comment goes first: should it fail, the old end record still describes a valid archive.
        written = true;
        try {
            file.WriteAt(stored.data(), stored.size(), position + zip::kEndRecordSize);
        } catch (const PlatformError&) {
            throw EZipEngine(zipmsg::kWriteError, true);
        }
        record.commentLength = static_cast<std::uint16_t>(stored.size());
        record.Write(bytes);
        try {
            file.WriteAt(bytes, sizeof bytes, position);
            file.Truncate(position + zip::kEndRecordSize + stored.size());
            file.Sync();
            file.Close();
        } catch (const PlatformError&) {
            throw EZipEngine(zipmsg::kEndRecordWriteError, true);
        }
        directory_.layout.fileEnd = directory_.layout.trueLength =
            position + zip::kEndRecordSize + stored.size();
        return;
    } catch (const EZipEngine& error) {
        ReportException(error);
    } catch (const std::bad_alloc&) {
        ShowZipMessage(zipmsg::kOutOfMemory);
    }
    directory_.comment.clear();
    if (written) List();
}

}  // namespace vpk
