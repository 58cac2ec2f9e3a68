// vpk delete ARCHIVE NAME…: removes entries (names as vpk list shows them; wildcards allowed).
#include <cstdio>

#include "engine/zip_engine.h"
#include "programs/vpk/engine_console.h"
#include "programs/vpk/verb_registry.h"

namespace vpk::cli {
namespace {

constexpr const char* kUsage = "ARCHIVE NAME...";

int RunDelete(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    std::string error;
    if (!ParseArguments(args, "", "", parsed, &error)) return UsageError("delete", error, kUsage);
    if (parsed.positional.size() < 2)
        return UsageError("delete", "an archive and at least one name expected", kUsage);

    TZipEngine engine;
    EngineConsole console(engine, "delete");
    if (!OpenExistingArchive(engine, console, "delete", parsed.positional[0])) return console.ExitStatus();
    for (std::size_t i = 1; i < parsed.positional.size(); ++i) {
        std::string name = parsed.positional[i];
        for (char& c : name) {
            if (c == '/') c = '\\';
        }
        engine.FSpecArgs().push_back(name);
    }
    engine.DeleteFiles();
    if (engine.SuccessCount() == 0 && !console.Failed()) {
        std::fprintf(stderr, "vpk delete: no entry matched\n");
        console.MarkFailed();
    }
    std::printf("%d entr%s deleted, %d left\n", engine.SuccessCount(),
                engine.SuccessCount() == 1 ? "y" : "ies", engine.EntryCount());
    return console.ExitStatus();
}

const VerbRegistration kDelete{"delete", kUsage, "Delete entries from an archive", RunDelete};

}  // namespace
}  // namespace vpk::cli
