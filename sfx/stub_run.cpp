#include "sfx/stub_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "engine/zip_archive_reader.h"
#include "sfx/own_archive.h"
#include "sfx/stub_console.h"
#include "sfx/stub_extractor.h"

namespace vpk::sfx {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRelativeMark = "><";
constexpr char kOkCancelMessage = 1;
constexpr char kYesNoMessage = 2;

struct StubOptions {
    bool yes = false, list = false, help = false;
    std::optional<std::string> folder, password;
    std::vector<std::string> names;
    std::string error;
};

StubOptions ParseOptions(const std::vector<std::string>& args) {
    StubOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::optional<std::string>& out) {
            if (i + 1 >= args.size())
                o.error = a + " needs a value";
            else
                out = args[++i];
        };
        if (a == "--yes" || a == "-y")
            o.yes = true;
        else if (a == "--list" || a == "-l")
            o.list = true;
        else if (a == "--help" || a == "-h")
            o.help = true;
        else if (a == "--dir" || a == "-d")
            value(o.folder);
        else if (a == "--password")
            value(o.password);
        else if (a.starts_with("-"))
            o.error = "unknown option " + a;
        else
            o.names.push_back(a);
    }
    return o;
}

const char* kUsage =
    "Usage: %s [--yes] [--dir FOLDER] [--password PASSWORD] [--list] [NAME...]\n"
    "  Extracts the archive attached to this program.\n"
    "  --yes       ask nothing: accept the message, the default folder and every file\n"
    "  --dir       extract into FOLDER (created when missing)\n"
    "  --password  password of encrypted entries\n"
    "  --list      list the attached files and stop\n"
    "  NAME...     extract only these entries (wildcards * and ? allowed)\n";

std::string Usage(const std::string& self) {
    char text[1024];
    std::snprintf(text, sizeof text, kUsage, fs::path(self).filename().c_str());
    return text;
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

std::string Size(std::uint64_t bytes) {
    return std::to_string(bytes);
}

int ListEntries(const OwnArchive& own, const StubConsole& console) {
    try {
        zip::ZipArchiveReader reader(own.path);
        std::uint64_t total = 0;
        for (const auto& e : reader.Entries()) {
            std::ostringstream line;
            line.width(12);
            line << e.values.uncompressedSize << "  " << e.name;
            console.Say(line.str());
            total += e.values.uncompressedSize;
        }
        console.Say(std::to_string(reader.Entries().size()) + " files, " + Size(total) + " bytes");
        return kExitOk;
    } catch (const std::exception& e) {
        console.Warn(std::string("The attached archive cannot be read: ") + e.what());
        return kExitFailed;
    }
}

// Shows the message; false when the user declined it.
bool ShowMessage(const std::string& message, const StubConsole& console) {
    if (message.empty()) return true;
    const char kind = message[0];
    const bool asks = kind == kOkCancelMessage || kind == kYesNoMessage;
    console.Say(asks ? message.substr(1) : message);
    if (!asks) return true;
    return console.Confirm(kind == kYesNoMessage ? "Continue?" : "OK to go on?", true);
}

// Asks which entries to extract: all, or numbers and ranges of the listing ("1 3-5").
std::vector<std::string> ChooseFiles(const std::vector<zip::ArchiveEntry>& entries,
                                     const StubConsole& console) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        console.Say(std::to_string(i + 1) + ". " + entries[i].name);
    for (;;) {
        const std::string answer = console.AskLine("Files to extract (numbers like 1 3-5)", "all");
        if (answer == "all") return {};
        std::vector<std::string> names;
        std::istringstream words(answer);
        std::string word;
        bool ok = true;
        while (ok && words >> word) {
            const auto dash = word.find('-');
            char* end = nullptr;
            const unsigned long from = std::strtoul(word.c_str(), &end, 10);
            unsigned long to = from;
            if (dash != std::string::npos) to = std::strtoul(word.c_str() + dash + 1, &end, 10);
            ok = *end == '\0' && from >= 1 && to >= from && to <= entries.size();
            for (unsigned long n = from; ok && n <= to; ++n) names.push_back(entries[n - 1].name);
        }
        if (ok && !names.empty()) return names;
        console.Warn("Please give numbers from 1 to " + std::to_string(entries.size()) +
                     ", or Enter for all.");
    }
}

OvrOpts ChooseOverwrite(OvrOpts mode, const StubConsole& console) {
    const char current = mode == OvrOpts::OvrAlways ? 'a' : mode == OvrOpts::OvrNever ? 'n' : 'c';
    const char c = console.Choose(
        std::string("Existing files: [c]onfirm each, [a]lways replace, [n]ever replace (Enter: ") + current +
            "):",
        "can", current);
    return c == 'a' ? OvrOpts::OvrAlways : c == 'n' ? OvrOpts::OvrNever : OvrOpts::OvrConfirm;
}

std::uint64_t SelectedSize(const std::vector<zip::ArchiveEntry>& entries,
                           const std::vector<std::string>& names) {
    std::uint64_t total = 0;
    for (const auto& e : entries) {
        bool hit = names.empty();
        for (const auto& n : names) hit = hit || n == e.name;
        if (hit) total += e.values.uncompressedSize;
    }
    return total;
}

// Folders the extraction would create (the entries' parent folders missing now), deepest first.
std::vector<fs::path> MissingFolders(const std::vector<zip::ArchiveEntry>& entries,
                                     const std::string& folder) {
    std::vector<fs::path> missing;
    std::error_code error;
    for (const auto& e : entries) {
        std::string name = e.name;
        std::replace(name.begin(), name.end(), '\\', '/');
        for (fs::path p = fs::path(name).parent_path(); !p.empty() && p != p.root_path();
             p = p.parent_path()) {
            const fs::path full = fs::path(folder) / p;
            if (!fs::exists(full, error) && std::find(missing.begin(), missing.end(), full) == missing.end())
                missing.push_back(full);
        }
    }
    std::sort(missing.begin(), missing.end(),
              [](const fs::path& a, const fs::path& b) { return a.string().size() > b.string().size(); });
    return missing;
}

// A failed run leaves no trace: folders it created and left empty go again.
void RemoveEmptyFolders(const std::vector<fs::path>& folders) {
    std::error_code error;
    for (const auto& folder : folders)
        if (fs::is_directory(folder, error) && fs::is_empty(folder, error)) fs::remove(folder, error);
}

int RunCommandLine(const std::string& command, const std::string& folder, const StubConsole& console) {
    console.Say("Running: " + command);
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

std::string ResolveDefaultFolder(const std::string& defaultDir, const std::string& base,
                                 const std::string& tempFolder) {
    std::string dir = defaultDir;
    std::replace(dir.begin(), dir.end(), '\\', '/');
    fs::path path;
    if (dir.starts_with(kRelativeMark)) {
        std::string rest = dir.substr(kRelativeMark.size());
        while (rest.starts_with("/")) rest.erase(0, 1);
        path = fs::path(tempFolder) / rest;
    } else if (dir.empty()) {
        path = base;
    } else {
        path = fs::path(dir).is_absolute() ? fs::path(dir) : fs::path(base) / dir;
    }
    return path.lexically_normal().string();
}

std::string ResolveCommandLine(const std::string& commandLine, const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.ends_with("/")) prefix += '/';
    std::string out;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        if (commandLine.compare(i, kRelativeMark.size(), kRelativeMark) == 0) {
            out += prefix;
            ++i;
        } else {
            out += commandLine[i];
        }
    }
    return out;
}

int RunStub(const std::string& selfPath, const std::vector<std::string>& arguments) {
    const StubOptions options = ParseOptions(arguments);
    const StubConsole console(options.yes);
    if (!options.error.empty()) {
        console.Warn(options.error);
        console.Warn(Usage(selfPath));
        return kExitFailed;
    }
    if (options.help) {
        console.Say(Usage(selfPath));
        return kExitOk;
    }
    std::string why;
    const auto own = OpenOwnArchive(selfPath, why);
    if (!own) {
        console.Warn("Nothing to extract: " + why + ".");
        return kExitFailed;
    }
    const SfxSettings& settings = own->settings;
    if (!settings.caption.empty()) console.Say(settings.caption);
    if (options.list) return ListEntries(*own, console);

    std::optional<zip::ZipArchiveReader> reader;
    try {
        reader.emplace(own->path);
    } catch (const std::exception& e) {
        console.Warn(std::string("The attached archive cannot be read: ") + e.what());
        return kExitFailed;
    }
    if (!console.CanAsk()) {
        console.Warn(
            "No terminal to ask on: run with --yes (and --dir FOLDER) to extract without questions.");
        return kExitDeclined;
    }
    if (!ShowMessage(settings.message, console)) return kExitDeclined;

    std::error_code error;
    const std::string here = fs::current_path(error).string();
    std::string folder = options.folder ? ResolveDefaultFolder(*options.folder, here, TempFolder())
                                        : ResolveDefaultFolder(settings.defaultDir, here, TempFolder());
    if (!options.folder) folder = console.AskLine("Extract to", folder);
    folder = fs::absolute(folder, error).lexically_normal().string();
    std::vector<fs::path> created;
    for (fs::path p = folder; !p.empty() && p != p.root_path() && !fs::exists(p, error); p = p.parent_path())
        created.push_back(p);
    if (!fs::is_directory(folder, error) && !fs::create_directories(folder, error)) {
        console.Warn("The folder " + folder + " cannot be created: " + error.message());
        return kExitFailed;
    }

    std::vector<std::string> names = options.names;
    if (names.empty() && settings.options.Has(SFXOptsEnum::SFXAskFiles) && !options.yes)
        names = ChooseFiles(reader->Entries(), console);
    OvrOpts overwrite = settings.overwrite;
    if (!settings.options.Has(SFXOptsEnum::SFXHideOverWriteBox) && !options.yes)
        overwrite = ChooseOverwrite(overwrite, console);

    if (settings.options.Has(SFXOptsEnum::SFXCheckSize)) {
        const std::uint64_t needed = SelectedSize(reader->Entries(), names);
        const auto space = fs::space(folder, error);
        if (!error && space.available < needed) {
            console.Warn("Not enough space in " + folder + ": " + Size(needed) + " bytes needed, " +
                         Size(space.available) + " available.");
            return kExitFailed;
        }
    }
    std::vector<fs::path> missing = MissingFolders(reader->Entries(), folder);
    missing.insert(missing.end(), created.begin(), created.end());
    reader.reset();

    ExtractRequest request;
    request.archive = own->path;
    request.folder = folder;
    request.names = names;
    request.overwrite = overwrite;
    request.password = options.password;
    const ExtractOutcome outcome = ExtractArchive(request, console);
    for (const auto& problem : outcome.problems) console.Warn(problem);
    if (outcome.failed > 0 ||
        (outcome.extracted == 0 && outcome.keptExisting == 0 && !outcome.problems.empty())) {
        RemoveEmptyFolders(missing);
        console.Warn("Extraction failed: " + std::to_string(outcome.failed) +
                     " file(s) could not be extracted.");
        return kExitFailed;
    }
    if (!settings.options.Has(SFXOptsEnum::SFXNoSuccessMsg))
        console.Say(std::to_string(outcome.extracted) + " file(s) extracted to " + folder);

    if (settings.options.Has(SFXOptsEnum::SFXAutoRun) && !settings.commandLine.empty()) {
        std::string command = ResolveCommandLine(settings.commandLine, folder);
        if (settings.options.Has(SFXOptsEnum::SFXAskCmdLine))
            command = console.AskLine("Command to run ('-' for none)", command);
        if (command != "-") {
            const int status = RunCommandLine(command, folder, console);
            if (status != 0) {
                console.Warn("The command ended with status " + std::to_string(status) + ".");
                return kExitCommandFailed;
            }
        }
    }
    return kExitOk;
}

}  // namespace vpk::sfx
