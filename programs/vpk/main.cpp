// vpk: command-line access to the backup system's components, for servers, SSH sessions and scripts.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/program_paths.h"
#include "programs/vpk/verb_registry.h"

namespace {

void PrintHelp() {
    std::printf("Usage: vpk VERB [ARGUMENTS]\n       vpk --help | --version\n\n");
    auto verbs = vpk::cli::Verbs();
    std::sort(verbs.begin(), verbs.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    if (verbs.empty()) {
        std::printf("No verbs are available in this build.\n");
    } else {
        std::printf("Verbs:\n");
        for (const auto& verb : verbs) {
            std::printf("  %-8s %s\n           %s\n", verb.name.c_str(), verb.usage.c_str(), verb.summary.c_str());
        }
    }
    std::printf("\nPaths are host paths or virtual paths (C:\\...) of the drive table drives.ini.\n"
                "Exit status: 0 ok, 1 failure, 2 usage.\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintHelp();
        return vpk::cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp();
        return vpk::cli::kExitOk;
    }
    if (args[0] == "--version") {
        std::printf("vpk %s\n", VPK_VERSION);
        return vpk::cli::kExitOk;
    }
    for (const auto& problem : vpk::LoadProgramDriveTable()) std::fprintf(stderr, "vpk: drives.ini: %s\n", problem.c_str());
    for (const auto& verb : vpk::cli::Verbs()) {
        if (verb.name == args[0]) {
            try {
                return verb.run(std::vector<std::string>(args.begin() + 1, args.end()));
            } catch (const std::exception& e) {
                std::fprintf(stderr, "vpk %s: %s\n", verb.name.c_str(), e.what());
                return vpk::cli::kExitFailure;
            }
        }
    }
    std::fprintf(stderr, "vpk: unknown verb \"%s\" (vpk --help lists them)\n", args[0].c_str());
    return vpk::cli::kExitUsage;
}
