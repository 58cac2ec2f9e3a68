// RestoreFiles on arbitrary bytes. The first byte picks the way in: bit 0 reads from a piece file
// instead of a stream, bit 1 restores with full paths, bit 2 skips every file (only reads over the
// data). Every target is redirected to one file in a scratch folder, so a hostile name cannot write
// elsewhere and the folder does not fill up; the target rules themselves are checked here too: a
// target under a destination never leaves it.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "split/backup_file.h"
#include "split/restore_target.h"

namespace {

struct Scratch {
    std::string host;
    std::string dest;  // virtual, with its trailing '\'
    Scratch() {
        char pattern[] = "/tmp/vpk-fuzz-split-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        host = pattern;
        dest = vpk::Fs().ToVirtual(host) + "\\";
        static vpk::ScriptedDialogs dialogs;  // an exhausted script cancels every question
        vpk::Dialogs::Install(&dialogs);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    if (size < 1) return 0;
    const std::uint8_t mode = data[0];
    const std::string container(reinterpret_cast<const char*>(data + 1), size - 1);

    vpk::TBackupFile backup;
    backup.RestoreFullPath = (mode & 2) != 0;
    backup.RestoreMode = (mode & 4) != 0 ? vpk::TRestoreMode::rmExisting : vpk::TRestoreMode::rmAll;
    backup.OnRestoreFile = [&](vpk::TBackupFile&, std::string& name, std::int32_t, bool& doRestore) {
        if (name.rfind(scratch.dest, 0) != 0) std::abort();  // escaped the destination
        name = scratch.dest + "target";
        if (mode & 4) doRestore = false;
    };
    backup.OnNeedDisk = [](vpk::TBackupFile&, std::uint16_t, bool&) {};
    backup.OnError = [](vpk::TBackupFile&, std::int32_t, const std::string&) {};

    std::istringstream stream(container);
    std::string name = ":STREAM";
    if (mode & 1) {
        const std::string piece = scratch.host + "/in.001";
        FILE* out = std::fopen(piece.c_str(), "wb");
        if (!out) return 0;
        std::fwrite(container.data(), 1, container.size(), out);
        std::fclose(out);
        name = scratch.dest + "in.001";
    } else {
        backup.RestoreStream = &stream;
    }
    try {
        backup.RestoreFiles(name, scratch.dest);
    } catch (const vpk::EBackupFile&) {
    }
    if (backup.IsBusy()) std::abort();

    // The target rule on the same bytes taken as a stored name: no component may climb out.
    const std::string root = "D:\\out\\";
    if (const auto target = vpk::split::RestoreTargetName(container, root, (mode & 2) != 0)) {
        if (target->rfind(root, 0) != 0) std::abort();
        std::size_t start = root.size();
        while (start <= target->size()) {
            std::size_t end = target->find_first_of("\\/", start);
            if (end == std::string::npos) end = target->size();
            const std::string part = target->substr(start, end - start);
            if (part.empty() || part == "." || part == "..") std::abort();
            start = end + 1;
        }
    }
    return 0;
}
