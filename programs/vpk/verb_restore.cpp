// vpk restore FIRSTPIECE DESTFOLDER [--mode ...] [--full-path]: joins the pieces of a split container
// back into DESTFOLDER. Pieces on a removable drive are asked for one by one; elsewhere they are
// expected beside the first piece.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "programs/vpk/verb_registry.h"
#include "split/backup_file.h"
#include "split/piece_name.h"

namespace {

using namespace vpk;

bool ParseMode(const std::string& text, TRestoreMode* mode) {
    static const struct {
        const char* name;
        TRestoreMode mode;
    } kModes[] = {{"all", TRestoreMode::rmAll},
                  {"nooverwrite", TRestoreMode::rmNoOverwrite},
                  {"newer", TRestoreMode::rmNewer},
                  {"existing", TRestoreMode::rmExisting},
                  {"existingnewer", TRestoreMode::rmExistingNewer}};
    for (const auto& m : kModes) {
        if (text == m.name) {
            *mode = m.mode;
            return true;
        }
    }
    return false;
}

int RunRestore(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    TRestoreMode mode = TRestoreMode::rmAll;
    bool fullPath = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--mode" && i + 1 < args.size()) {
            if (!ParseMode(args[++i], &mode)) {
                std::fprintf(stderr,
                             "vpk restore: --mode is all, nooverwrite, newer, existing or existingnewer\n");
                return cli::kExitUsage;
            }
        } else if (args[i] == "--full-path") {
            fullPath = true;
        } else if (args[i].rfind("--", 0) == 0) {
            std::fprintf(stderr, "vpk restore: unknown option %s\n", args[i].c_str());
            return cli::kExitUsage;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "usage: vpk restore FIRSTPIECE DESTFOLDER [--mode MODE] [--full-path]\n");
        return cli::kExitUsage;
    }
    const std::string firstPiece = cli::ArgumentPath(positional[0]);
    const std::string dest = cli::ArgumentPath(positional[1]);
    if (!Fs().FileExists(firstPiece)) {
        std::fprintf(stderr, "vpk restore: %s is not a file\n", positional[0].c_str());
        return cli::kExitFailure;
    }
    const bool removable = firstPiece.size() > 1 && firstPiece[1] == ':' &&
                           Fs().TypeOfDrive(firstPiece[0]) == DriveType::Removable;
    const bool showProgress = isatty(STDERR_FILENO) != 0;

    TBackupFile backup;
    backup.RestoreMode = mode;
    backup.RestoreFullPath = fullPath;
    std::vector<std::string> restored;
    backup.OnProgress = [&](TBackupFile&, const std::string&, TPercentage percent, bool&) {
        if (showProgress) std::fprintf(stderr, "\r%3d %%", percent);
    };
    backup.OnFileRestored = [&](TBackupFile&, std::string& name, File&) {
        if (restored.empty() || restored.back() != name) restored.push_back(name);
    };
    backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool& go) {
        const std::string piece = split::PieceName(firstPiece, disk);
        if (!removable) {
            // Nobody can bring a missing piece to a fixed disk: stop instead of asking forever.
            if (!Fs().FileExists(piece)) {
                std::fprintf(stderr, "%svpk restore: piece %d (%s) is missing\n", showProgress ? "\n" : "",
                             disk, piece.c_str());
                go = false;
            }
            return;
        }
        DialogRequest request;
        request.caption = "vpk restore";
        request.lines = {"Insert the disk holding piece " + std::to_string(disk) + " (" + piece +
                         ") and press OK."};
        request.buttons = {"OK", "Cancel"};
        go = Dialogs::Current().Ask(request) == 1;
    };
    backup.OnError = [&](TBackupFile& sender, std::int32_t, const std::string& message) {
        std::fprintf(stderr, "%svpk restore: %s%s%s\n", showProgress ? "\n" : "", message.c_str(),
                     sender.ErrorDetail().empty() ? "" : ": ", sender.ErrorDetail().c_str());
    };
    const bool ok = backup.RestoreFiles(firstPiece, dest);
    if (showProgress) std::fprintf(stderr, "\n");
    for (const auto& name : restored) std::printf("%s\n", name.c_str());
    if (!ok) return cli::kExitFailure;
    std::printf("%d of %d file%s restored\n", backup.FilesDone(), backup.FileCount(),
                backup.FileCount() == 1 ? "" : "s");
    return cli::kExitOk;
}

const cli::VerbRegistration kRestore{
    "restore", "FIRSTPIECE DESTFOLDER [--mode all|nooverwrite|newer|existing|existingnewer] [--full-path]",
    "Join the pieces of a split file back into DESTFOLDER", RunRestore};

}  // namespace
