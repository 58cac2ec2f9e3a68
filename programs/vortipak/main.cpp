// vortipak: the backup program. The first argument selects the run mode. With a display the main window
// shows every mode it has; without one (or started with "/min" by a shortcut or the scheduler) the batch
// modes run in console mode: one line per step on stdout, errors on stderr, exit status 0 after the
// success report and 1 after the error report. Qt is never loaded in console mode.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/program_paths.h"
#include "runner/console_view.h"
#include "runner/main_window_model.h"
#include "runner/run_mode.h"
#include "runner/run_state.h"
#include "runner/runner.h"
#ifdef VPK_WITH_WINDOWS
#include "runner/form1_window.h"
#include "ui/gui_session.h"
#endif

namespace {

bool IsBatch(vpk::RunMode mode) {
    return mode == vpk::RunMode::AllQueries || mode == vpk::RunMode::NumberedQuery || mode == vpk::RunMode::QueryFile;
}

}  // namespace

int main(int argc, char** argv) {
    for (const auto& problem : vpk::LoadProgramDriveTable()) {
        std::fprintf(stderr, "vortipak: drives.ini: %s\n", problem.c_str());
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool hasArgument = !args.empty();
    const std::string argument = hasArgument ? args[0] : "";
    const vpk::RunMode mode = vpk::ClassifyFirstArgument(hasArgument, argument);
    if (mode == vpk::RunMode::Unrecognised) {
        // Starting no mode at all would leave a process with nothing to do; say why and stop.
        std::fprintf(stderr, "vortipak: \"%s\" is not a query number, TOUS, a query file (.vpk), an archive (.zip) "
                             "or _REST_A\n", argument.c_str());
        return 2;
    }
    // "/min" is how a shortcut or the scheduler asks for a minimized start.
    const bool minimized = args.size() > 1 && (args[1] == "/min" || args[1] == "/MIN");
    const bool windowed = mode == vpk::RunMode::Interactive || IsBatch(mode);
#ifdef VPK_WITH_WINDOWS
    if (windowed && !minimized && vpk::ui::DisplayAvailable()) return vpk::RunVortipakWindow(argc, argv);
#endif
    if (!IsBatch(mode)) {
        std::fprintf(stderr, "vortipak: %s is not available %s\n", vpk::RunModeName(mode),
                     windowed ? "without a display" : "in this build");
        return 2;
    }

    vpk::MainWindowModel window;
    vpk::RunState state;
    vpk::ConsoleView view(stdout, stderr);
    window.AddListener(&view);
    vpk::Runner runner(window, state);
    runner.Start(args, minimized ? vpk::SwShowMinNoActive : vpk::SwShowNormal);
    runner.Dispatch();
    // Without a window nobody watches the countdown: the close timer ends the process at once.
    runner.BtQuitter3DClick();
    return runner.Succeeded() ? 0 : 1;
}
