// vpk comment ARCHIVE [TEXT]: shows the archive comment, or stores TEXT as the new one.
#include <cstdio>

#include "engine/zip_engine.h"
#include "programs/vpk/engine_console.h"
#include "programs/vpk/verb_registry.h"

namespace vpk::cli {
namespace {

constexpr const char* kUsage = "ARCHIVE [TEXT]";

int RunComment(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    std::string error;
    if (!ParseArguments(args, "", "", parsed, &error)) return UsageError("comment", error, kUsage);
    if (parsed.positional.empty() || parsed.positional.size() > 2)
        return UsageError("comment", "an archive and at most one text expected", kUsage);

    TZipEngine engine;
    EngineConsole console(engine, "comment");
    engine.SetCodePage(CodePageOpts::cpAuto);
    if (!OpenExistingArchive(engine, console, "comment", parsed.positional[0])) return console.ExitStatus();
    if (parsed.positional.size() == 1) {
        const std::string comment = engine.ArchiveComment();
        if (!comment.empty()) std::printf("%s\n", comment.c_str());
        return console.ExitStatus();
    }
    if (parsed.positional[1].empty()) {
        std::fprintf(stderr, "vpk comment: an empty text keeps the stored comment\n");
    }
    engine.SetArchiveComment(parsed.positional[1]);
    return console.ExitStatus();
}

const VerbRegistration kComment{"comment", kUsage, "Show or set the archive comment", RunComment};

}  // namespace
}  // namespace vpk::cli
