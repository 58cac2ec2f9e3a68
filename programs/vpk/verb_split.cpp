// vpk split FILE DESTFOLDER --size BYTES: cuts one file into pieces FILE.001, .002, ... of at most
// BYTES each, stored without compression. A removable destination asks for each new disk.
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

bool ParseSize(const std::string& text, std::int32_t* size) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long long value = std::stoll(text);
    if (value <= 0 || value > 0x7FFFFFFF) return false;
    *size = static_cast<std::int32_t>(value);
    return true;
}

int RunSplit(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::int32_t size = 0;
    bool haveSize = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--size" && i + 1 < args.size()) {
            haveSize = ParseSize(args[++i], &size);
            if (!haveSize) {
                std::fprintf(stderr, "vpk split: --size takes a number of bytes from 1 to 2147483647\n");
                return cli::kExitUsage;
            }
        } else if (args[i].rfind("--", 0) == 0) {
            std::fprintf(stderr, "vpk split: unknown option %s\n", args[i].c_str());
            return cli::kExitUsage;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2 || !haveSize) {
        std::fprintf(stderr, "usage: vpk split FILE DESTFOLDER --size BYTES\n");
        return cli::kExitUsage;
    }
    const std::string source = cli::ArgumentPath(positional[0]);
    std::string dest = cli::ArgumentPath(positional[1]);
    if (!Fs().FileExists(source)) {
        std::fprintf(stderr, "vpk split: %s is not a file\n", positional[0].c_str());
        return cli::kExitFailure;
    }
    if (!dest.empty() && dest.back() != '\\') dest += '\\';
    if (!Fs().FolderExists(dest) && !Fs().CreateFolderChain(dest)) {
        std::fprintf(stderr, "vpk split: cannot create the folder %s\n", positional[1].c_str());
        return cli::kExitFailure;
    }
    const std::string fileName = source.substr(source.find_last_of('\\') + 1);
    const std::string firstPiece = split::PieceNameWithDigits(dest + fileName, "001");
    const bool removable =
        dest.size() > 1 && dest[1] == ':' && Fs().TypeOfDrive(dest[0]) == DriveType::Removable;
    const bool showProgress = isatty(STDERR_FILENO) != 0;

    TBackupFile backup;
    backup.CompressionLevel = TCompressionLevel::clNone;
    backup.MaxSize = size;
    backup.OnProgress = [&](TBackupFile&, const std::string&, TPercentage percent, bool&) {
        if (showProgress) std::fprintf(stderr, "\r%3d %%", percent);
    };
    backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool& go) {
        if (!removable) return;  // a fixed disk has room for every piece
        DialogRequest request;
        request.caption = "vpk split";
        request.lines = {"Insert the disk for piece " + std::to_string(disk) + " into drive " +
                         dest.substr(0, 2) + " and press OK."};
        request.buttons = {"OK", "Cancel"};
        go = Dialogs::Current().Ask(request) == 1;
    };
    backup.OnError = [&](TBackupFile& sender, std::int32_t, const std::string& message) {
        if (showProgress) std::fprintf(stderr, "\n");
        std::fprintf(stderr, "vpk split: %s%s%s\n", message.c_str(), sender.ErrorDetail().empty() ? "" : ": ",
                     sender.ErrorDetail().c_str());
    };
    const bool ok = backup.BackupFiles({source}, firstPiece);
    if (showProgress) std::fprintf(stderr, "\n");
    if (!ok) {
        if (backup.ErrorCode() == 0)
            std::fprintf(stderr, "vpk split: stopped at piece %d\n", backup.PieceNumber());
        return cli::kExitFailure;
    }
    std::printf("%s: %d piece%s, %s to %s\n", positional[0].c_str(), backup.PieceNumber(),
                backup.PieceNumber() == 1 ? "" : "s", firstPiece.c_str(),
                split::PieceName(firstPiece, backup.PieceNumber()).c_str());
    return cli::kExitOk;
}

const cli::VerbRegistration kSplit{"split", "FILE DESTFOLDER --size BYTES",
                                   "Cut a file into pieces of at most BYTES (FILE.001, .002, ...)", RunSplit};

}  // namespace
