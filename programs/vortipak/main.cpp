// vortipak: the backup program. The first argument selects the run mode.
#include <cstdio>
#include <string>

#include "platform/program_paths.h"
#include "runner/run_mode.h"

int main(int argc, char** argv) {
    for (const auto& problem : vpk::LoadProgramDriveTable()) {
        std::fprintf(stderr, "vortipak: drives.ini: %s\n", problem.c_str());
    }
    const bool hasArgument = argc > 1;
    const std::string argument = hasArgument ? argv[1] : "";
    const vpk::RunMode mode = vpk::ClassifyFirstArgument(hasArgument, argument);
    if (mode == vpk::RunMode::Unrecognised) {
        // Starting no mode at all would leave a process with nothing to do; say why and stop.
        std::fprintf(stderr, "vortipak: \"%s\" is not a query number, TOUS, a query file (.vpk), an archive (.zip) "
                             "or _REST_A\n", argument.c_str());
        return 2;
    }
    std::fprintf(stderr, "vortipak: %s is not available in this build\n", vpk::RunModeName(mode));
    return 2;
}
