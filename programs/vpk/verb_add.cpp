// vpk add ARCHIVE PATH… : adds files (or updates them) in an archive, creating it when missing.
#include <cstdio>

#include "engine/zip_engine.h"
#include "platform/file_system.h"
#include "programs/vpk/engine_console.h"
#include "programs/vpk/verb_registry.h"

namespace vpk::cli {
namespace {

constexpr const char* kUsage = "ARCHIVE PATH... [-r] [-j] [-l LEVEL] [-u] [-P PASSWORD] [-x EXCL]";

// Relative paths stay relative (their folders are stored as given); absolute host paths become the
// virtual paths the library resolves. A folder stands for the files in it.
std::string SpecOf(const std::string& arg) {
    if (!arg.empty() && arg[0] == '/') return ArgumentPath(arg);
    std::string spec = arg;
    for (char& c : spec) {
        if (c == '/') c = '\\';
    }
    return spec;
}

int RunAdd(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    std::string error;
    if (!ParseArguments(args, "rju", "lPx", parsed, &error)) return UsageError("add", error, kUsage);
    if (parsed.positional.size() < 2)
        return UsageError("add", "an archive and at least one path expected", kUsage);
    int level = 6;
    if (parsed.Has('l')) {
        const std::string& text = parsed.Last('l');
        if (text.size() != 1 || text[0] < '0' || text[0] > '9')
            return UsageError("add", "the level is a digit 0-9", kUsage);
        level = text[0] - '0';
    }

    // Relative paths are taken from the shell's folder, and stored relative to it.
    Fs().SetCurrentFolder(ArgumentPath("."));
    TZipEngine engine;
    EngineConsole console(engine, "add");
    engine.SetZipFileName(ArgumentPath(parsed.positional[0]));
    if (engine.ZipFileName().empty()) return kExitFailure;  // an existing file that is no archive

    AddOpts options{AddOptsEnum::AddHiddenFiles};
    if (!parsed.Has('j')) options.Include(AddOptsEnum::AddDirNames);
    if (parsed.Has('r')) options.Include(AddOptsEnum::AddRecurseDirs);
    if (parsed.Has('u')) options.Include(AddOptsEnum::AddUpdate);
    if (parsed.Has('P')) {
        if (parsed.Last('P').empty()) return UsageError("add", "the password is empty", kUsage);
        options.Include(AddOptsEnum::AddEncrypt);
        engine.SetPassword(parsed.Last('P'));
    }
    engine.SetAddOptions(options);
    engine.SetAddCompLevel(level);
    for (std::size_t i = 1; i < parsed.positional.size(); ++i) {
        const std::string& path = parsed.positional[i];
        // A plain name that names nothing is a mistake worth the exit status; the rest is still added.
        const bool wildcard = path.find_first_of("*?") != std::string::npos;
        if (!wildcard && !Fs().FileExists(ArgumentPath(path)) && !Fs().FolderExists(ArgumentPath(path))) {
            std::fprintf(stderr, "vpk add: %s: no such file or folder\n", path.c_str());
            console.MarkFailed();
            continue;
        }
        engine.FSpecArgs().push_back(SpecOf(path));
    }
    if (engine.FSpecArgs().empty()) return console.ExitStatus();
    if (parsed.Has('x')) {
        for (const auto& exclusion : parsed.options.at('x')) engine.FSpecArgsExcl().push_back(exclusion);
    }

    engine.AddFiles();
    console.EndProgressLine();
    std::printf("%d file%s added or replaced, %d entr%s in the archive\n", engine.SuccessCount(),
                engine.SuccessCount() == 1 ? "" : "s", engine.EntryCount(),
                engine.EntryCount() == 1 ? "y" : "ies");
    return console.ExitStatus();
}

const VerbRegistration kAdd{
    "add", kUsage, "Add files to an archive (-r sub-folders, -j no folder names, -u update)", RunAdd};

}  // namespace
}  // namespace vpk::cli
