#include "sfx/stub_extractor.h"

#include <cstring>

#include "engine/library_interface.h"
#include "platform/file_system.h"

namespace vpk::sfx {

namespace {

struct Session {
    const ExtractRequest* request;
    const StubConsole* console;
    ExtractOutcome outcome;
    OvrOpts overwrite;
    bool passwordOffered = false;
};

void CopyText(char* out, const std::string& text) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(kPasswordBufferSize - 1));
    if (n > 0) std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

void AnswerPassword(Session& s, CallbackRecord& r) {
    std::string password;
    bool have = false;
    if (!s.passwordOffered && s.request->password) {
        password = *s.request->password;
        have = true;
    } else if (!s.console->AssumeYes()) {
        have = s.console->AskSecret("Password for " + std::string(r.text) + ":", password);
    }
    s.passwordOffered = true;
    if (!have) {
        r.code = 0;
        r.number = 0;
        return;
    }
    r.code = 1;
    CopyText(r.text, password);
    r.number = std::min(r.number, kMaxPasswordRepeat);
}

void AnswerExisting(Session& s, CallbackRecord& r) {
    bool replace = false;
    switch (s.overwrite) {
        case OvrOpts::OvrAlways:
            replace = true;
            break;
        case OvrOpts::OvrNever:
            replace = false;
            break;
        case OvrOpts::OvrConfirm:
            if (s.console->AssumeYes()) {
                replace = true;
            } else {
                const char c = s.console->Choose(
                    std::string(r.text) + " exists. Replace it? [y]es, [n]o, [a]ll, n[o]ne:", "ynao", 'n');
                replace = c == 'y' || c == 'a';
                if (c == 'a') s.overwrite = OvrOpts::OvrAlways;
                if (c == 'o') s.overwrite = OvrOpts::OvrNever;
            }
            break;
    }
    r.number = replace ? 1 : 0;
}

std::int32_t Callback(CallbackRecord* record) {
    auto& s = *static_cast<Session*>(record->caller);
    CallbackRecord& r = *record;
    switch (r.actionCode) {
        case kActionFileStart:
            s.console->Say("  " + std::string(r.text));
            break;
        case kActionMessage:
            if (r.code != kLibOk && r.code != kLibErrNothingToDo) s.outcome.problems.emplace_back(r.text);
            break;
        case kActionPassword:
            AnswerPassword(s, r);
            break;
        case kActionCrcError:
            r.code = 0;
            break;  // a damaged file is not kept
        case kActionFileExists:
            AnswerExisting(s, r);
            break;
        case kActionFileSkipped: {
            const auto type = static_cast<UnzSkipType>(r.number & 0xFF);
            if (type == kSkipNoOverwrite || type == kSkipFileNewer) {
                ++s.outcome.keptExisting;
            } else {
                ++s.outcome.failed;
                if (type == kSkipBadPassword)
                    s.outcome.problems.push_back("wrong or missing password: " + std::string(r.text));
            }
            break;
        }
        default:
            break;
    }
    return 0;
}

}  // namespace

ExtractOutcome ExtractArchive(const ExtractRequest& request, const StubConsole& console) {
    Session session{&request, &console, {}, request.overwrite};
    if (!Fs().SetCurrentFolder(request.folder)) {
        session.outcome.problems.push_back("cannot enter " + request.folder);
        session.outcome.failed = 1;
        return session.outcome;
    }
    std::vector<UnzFileSpecEntry> specs(request.names.size());
    for (std::size_t i = 0; i < specs.size(); ++i) specs[i].spec = request.names[i].c_str();
    char password[kPasswordBufferSize] = {};
    UnzipCommand command{};
    command.caller = &session;
    command.version = kLibraryInterfaceVersion;
    command.callback = &Callback;
    command.password = password;
    command.constantMinus40 = -1;
    command.dirNames = kFlagYes;
    command.overwrite = request.overwrite == OvrOpts::OvrAlways ? kFlagYes : kFlagNo;
    command.specCount = static_cast<std::int32_t>(specs.size());
    command.specs = specs.empty() ? nullptr : specs.data();
    command.archiveName = request.archive.c_str();
    command.passwordReqCount = 3;
    command.check = kCommandRecordCheck;
    session.outcome.extracted = ::UnzExec(&command);
    return session.outcome;
}

}  // namespace vpk::sfx
