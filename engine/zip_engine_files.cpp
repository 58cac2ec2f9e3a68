// TZipEngine: copying an archive to its destination and deleting files.
#include <vector>

#include "engine/zip_engine.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/process.h"

namespace vpk {

namespace {

constexpr std::size_t kCopyBlock = 8192;

std::string FolderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return ".";
    if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

}  // namespace

int TZipEngine::CopyArchiveFile(std::string_view source, std::string_view destination) {
    File input;
    try {
        input.Open(source, File::Mode::Read);
    } catch (const PlatformError&) {
        return -3;
    }
    // The copy is made under a temporary name beside the destination and takes its place only once it
    // is complete, so a failed copy never costs the old one.
    const std::string target =
        Fs().FullPath(destination).empty() ? std::string(destination) : Fs().FullPath(destination);
    const std::string temporary = Fs().TempFileName(FolderOf(target), "vpk");
    if (temporary.empty()) return -1;
    int result = 0;
    {
        File output;
        try {
            output.Open(temporary, File::Mode::Create);
        } catch (const PlatformError&) {
            Fs().DeleteFile(temporary);
            return -1;
        }
        try {
            std::vector<char> block(kCopyBlock);
            for (;;) {
                const std::size_t n = input.Read(block.data(), block.size());
                if (n == 0) break;
                output.Write(block.data(), n);
            }
            output.CopyPermissionsFrom(input);
            output.Sync();
            output.Close();
        } catch (const PlatformError&) {
            result = -2;
        }
    }
    if (result == 0) {
        const auto from = Fs().Stat(source);
        const auto to = Fs().Stat(temporary);
        if (from && to && from->size != to->size) result = -9;
        if (result == 0 && (!from || !Fs().SetFileTime(temporary, from->mtime))) result = -4;
    }
    if (result != 0 && result != -4) {
        Fs().DeleteFile(temporary);
        return result;
    }
    if (Fs().FileExists(target)) RemoveFile(target, howToDelete_);
    if (!Fs().RenameFile(temporary, target)) {
        Fs().DeleteFile(temporary);
        return -1;
    }
    return result;
}

int TZipEngine::RemoveFile(std::string_view name, DeleteOpts how) {
    const std::string full = Fs().FullPath(name).empty() ? std::string(name) : Fs().FullPath(name);
    if (!Fs().FileExists(full)) return -1;
    const bool done = how == DeleteOpts::htdAllowUndo ? DeleteToTrash(full) : Fs().DeleteFile(full);
    return done ? 0 : 1;
}

}  // namespace vpk
