// vpk repair FILE [-o OUTPUT]: rebuilds a damaged archive from its surviving local headers.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language.h"
#include "lang/language_choice.h"
#include "platform/program_paths.h"
#include "programs/vpk/verb_registry.h"
#include "repair/repaired_archive_name.h"
#include "repair/zip_fix_run.h"

namespace {

// The texts of the repair in the language chosen in the settings, as the windows show them.
std::string RepairText(std::string_view key) {
    const std::string folder = vpk::ProgramFolderVirtual();
    vpk::TLanguage language;
    language.SetFN(vpk::LanguageFileName(folder, vpk::SavedLanguageName(folder + "vortipak.ini")));
    return language.MessageText(key);
}

int RunRepair(const std::vector<std::string>& args) {
    std::string source;
    std::string destination;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) {
            destination = vpk::cli::ArgumentPath(args[++i]);
        } else if (source.empty() && !args[i].empty() && args[i][0] != '-') {
            source = vpk::cli::ArgumentPath(args[i]);
        } else {
            std::fprintf(stderr, "Usage: vpk repair FILE [-o OUTPUT]\n");
            return vpk::cli::kExitUsage;
        }
    }
    if (source.empty()) {
        std::fprintf(stderr, "Usage: vpk repair FILE [-o OUTPUT]\n");
        return vpk::cli::kExitUsage;
    }
    if (destination.empty()) destination = vpk::RepairedArchiveName(source, "SOS.zip");

    vpk::ZipFixRun run(
        RepairText, [](const std::string& line) { std::printf("%s\n", line.c_str()); },
        [](const std::string& text) { std::fprintf(stderr, "vpk repair: %s\n", text.c_str()); });
    switch (run.ZipFix(source, destination)) {
        case vpk::ZipFixRun::Outcome::Repaired:
            std::printf("%s\n", destination.c_str());
            return vpk::cli::kExitOk;
        case vpk::ZipFixRun::Outcome::SourceMissing:
            std::fprintf(stderr, "vpk repair: %s does not exist\n", source.c_str());
            return vpk::cli::kExitFailure;
        case vpk::ZipFixRun::Outcome::NotEnoughSpace:
        case vpk::ZipFixRun::Outcome::Failed:
            return vpk::cli::kExitFailure;
    }
    return vpk::cli::kExitFailure;
}

const vpk::cli::VerbRegistration kRepair{"repair", "FILE [-o OUTPUT]",
                                         "Rebuild a damaged archive from its surviving entries (default "
                                         "output: FILE with its extension replaced by SOS.zip)",
                                         RunRepair};

}  // namespace
