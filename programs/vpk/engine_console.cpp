#include "programs/vpk/engine_console.h"

#include <unistd.h>

#include <cstdio>

#include "engine/zip_messages.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "programs/vpk/verb_registry.h"

namespace vpk::cli {

namespace {

// Numbered engine messages that only inform or warn: the operation itself went through.
bool IsWarning(int messageId) {
    return messageId == zipmsg::kStructureWarning || messageId == zipmsg::kGarbageWarning ||
           messageId == zipmsg::kZipLoaded || messageId == zipmsg::kUnzLoaded ||
           messageId == zipmsg::kUnattendedExtract;
}

// Library codes that do not fail the operation.
bool IsLibraryNotice(int code) {
    return code == kLibOk || code == kLibErrWarning || code == kLibErrNothingToDo;
}

// True when the message is the engine's own numbered message `id` (its text, possibly with a value
// formatted in or text appended).
bool IsNumberedMessage(int id, const std::string& text) {
    if (!zipmsg::HasZipMessage(id)) return false;
    std::string fixed = zipmsg::ZipMessageText(id);
    fixed = fixed.substr(0, fixed.find('%'));
    return text.compare(0, fixed.size(), fixed) == 0;
}

}  // namespace

bool ParseArguments(const std::vector<std::string>& args, const std::string& flags, const std::string& valued,
                    ParsedArguments& out, std::string* error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            out.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const char letter = arg[1];
        if (flags.find(letter) != std::string::npos && arg.size() == 2) {
            out.options[letter].push_back({});
        } else if (valued.find(letter) != std::string::npos) {
            if (arg.size() > 2) {
                out.options[letter].push_back(arg.substr(2));
            } else if (i + 1 < args.size()) {
                out.options[letter].push_back(args[++i]);
            } else {
                *error = "option -" + std::string(1, letter) + " needs a value";
                return false;
            }
        } else {
            *error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

int UsageError(const std::string& verb, const std::string& message, const std::string& usage) {
    std::fprintf(stderr, "vpk %s: %s\nUsage: vpk %s %s\n", verb.c_str(), message.c_str(), verb.c_str(),
                 usage.c_str());
    return kExitUsage;
}

EngineConsole::EngineConsole(TZipEngine& engine, std::string verb)
    : engine_(engine), verb_(std::move(verb)), terminal_(isatty(STDOUT_FILENO) != 0) {
    engine_.SetUnattended(true);
    engine_.OnMessage = [this](TZipEngine&, int code, const std::string& text) { Message(code, text); };
    engine_.OnProgress = [this](TZipEngine&, ProgressType type, const std::string& name, std::int64_t size) {
        Progress(type, name, size);
    };
    engine_.OnExtractSkipped = [this](TZipEngine&, const std::string& file, UnZipSkipTypes type, int) {
        const bool harmless = type == kSkipOnFreshen || type == kSkipNoOverwrite || type == kSkipFileNewer;
        if (!harmless) failed_ = true;
        EndProgressLine();
        std::fprintf(harmless ? stdout : stderr, "skipped: %s\n", file.c_str());
    };
    engine_.OnCRC32Error = [this](TZipEngine&, const std::string& file, std::uint32_t found,
                                  std::uint32_t expected, bool& keep) {
        failed_ = true;
        keep = false;
        EndProgressLine();
        std::fprintf(stderr, "vpk %s: CRC error in %s (found %08X, expected %08X)\n", verb_.c_str(),
                     file.c_str(), found, expected);
    };
}

EngineConsole::~EngineConsole() {
    EndProgressLine();
    engine_.OnMessage = nullptr;
    engine_.OnProgress = nullptr;
    engine_.OnExtractSkipped = nullptr;
    engine_.OnCRC32Error = nullptr;
    engine_.OnPasswordError = nullptr;
    engine_.OnExtractOverwrite = nullptr;
}

void EngineConsole::AskPasswords() {
    engine_.SetPasswordReqCount(3);
    engine_.OnPasswordError = [this](TZipEngine&, std::string& password, const std::string& file,
                                     std::uint32_t& repeat) {
        EndProgressLine();
        if (!Dialogs::Current().AskText("vpk", "Password for " + file, true, password)) password.clear();
        if (repeat == 0) repeat = 1;
    };
}

void EngineConsole::AskBeforeOverwriting() {
    engine_.OnExtractOverwrite = [this](TZipEngine&, const std::string& file, bool, bool& overwrite) {
        EndProgressLine();
        DialogRequest request;
        request.caption = "vpk";
        request.icon = "?";
        request.lines = {file + " exists.", "Replace it?"};
        request.buttons = {"Yes", "No"};
        overwrite = Dialogs::Current().Ask(request) == 1;
    };
}

int EngineConsole::ExitStatus() const {
    return failed_ ? kExitFailure : kExitOk;
}

void EngineConsole::EndProgressLine() {
    if (!lineOpen_) return;
    std::printf("\n");
    std::fflush(stdout);
    lineOpen_ = false;
}

void EngineConsole::Message(int code, const std::string& text) {
    bool failure = false;
    if (code != 0) {
        failure = !IsLibraryNotice(code & 255);
    } else if (IsNumberedMessage(engine_.ErrorCode(), text)) {
        failure = !IsWarning(engine_.ErrorCode());
    } else {
        // Library information ("adding: …"): progress on a terminal already shows it.
        if (!terminal_) std::printf("%s\n", text.c_str());
        return;
    }
    if (failure) failed_ = true;
    EndProgressLine();
    std::fprintf(stderr, "vpk %s: %s\n", verb_.c_str(), text.c_str());
}

void EngineConsole::Progress(ProgressType type, const std::string& name, std::int64_t size) {
    switch (type) {
        case ProgressType::SizeTotal:
            total_ = size;
            done_ = 0;
            return;
        case ProgressType::FileStart:
            current_ = name;
            break;
        case ProgressType::BytesDone:
            done_ += size;
            break;
        case ProgressType::BatchEnd:
            EndProgressLine();
            return;
        case ProgressType::FileTotal:
            return;
    }
    if (!terminal_) return;
    const int percent = total_ > 0 ? static_cast<int>(std::min<std::int64_t>(100, done_ * 100 / total_)) : 0;
    std::string shown = current_.size() > 60 ? "..." + current_.substr(current_.size() - 57) : current_;
    std::printf("\r[%3d%%] %-60s", percent, shown.c_str());
    std::fflush(stdout);
    lineOpen_ = true;
}

bool OpenExistingArchive(TZipEngine& engine, EngineConsole& console, const std::string& verb,
                         const std::string& path) {
    const std::string archive = ArgumentPath(path);
    if (!Fs().FileExists(archive)) {
        std::fprintf(stderr, "vpk %s: %s: no such archive\n", verb.c_str(), path.c_str());
        console.MarkFailed();
        return false;
    }
    engine.SetZipFileName(archive);
    if (engine.ZipFileName().empty()) {
        console.MarkFailed();
        return false;
    }
    return true;
}

}  // namespace vpk::cli
