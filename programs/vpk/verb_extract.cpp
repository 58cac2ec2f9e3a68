// vpk extract ARCHIVE [-d DIR] [-o] [-P PASSWORD] [NAME…]: extracts entries with their folders.
#include <cstdio>

#include "engine/zip_engine.h"
#include "platform/file_system.h"
#include "programs/vpk/engine_console.h"
#include "programs/vpk/verb_registry.h"

namespace vpk::cli {
namespace {

constexpr const char* kUsage = "ARCHIVE [-d DIR] [-o] [-P PASSWORD] [NAME...]";

int RunExtract(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    std::string error;
    if (!ParseArguments(args, "o", "dP", parsed, &error)) return UsageError("extract", error, kUsage);
    if (parsed.positional.empty()) return UsageError("extract", "an archive expected", kUsage);

    TZipEngine engine;
    EngineConsole console(engine, "extract");
    if (!OpenExistingArchive(engine, console, "extract", parsed.positional[0])) return console.ExitStatus();

    const std::string folder = ArgumentPath(parsed.Has('d') ? parsed.Last('d') : ".");
    if (!Fs().FolderExists(folder) && !Fs().CreateFolderChain(folder)) {
        std::fprintf(stderr, "vpk extract: cannot create the folder %s\n", folder.c_str());
        return kExitFailure;
    }
    engine.SetExtrBaseDir(folder);
    ExtrOpts options{ExtrOptsEnum::ExtrDirNames};
    if (parsed.Has('o')) {
        options.Include(ExtrOptsEnum::ExtrOverWrite);
    } else {
        console.AskBeforeOverwriting();
    }
    engine.SetExtrOptions(options);
    if (parsed.Has('P')) {
        engine.SetPassword(parsed.Last('P'));
    } else {
        console.AskPasswords();
    }
    for (std::size_t i = 1; i < parsed.positional.size(); ++i)
        engine.FSpecArgs().push_back(parsed.positional[i]);

    engine.ExtractFiles();
    console.EndProgressLine();
    std::printf("%d entr%s extracted\n", engine.SuccessCount(), engine.SuccessCount() == 1 ? "y" : "ies");
    return console.ExitStatus();
}

const VerbRegistration kExtract{"extract", kUsage, "Extract entries (all, or those named) into a folder",
                                RunExtract};

}  // namespace
}  // namespace vpk::cli
