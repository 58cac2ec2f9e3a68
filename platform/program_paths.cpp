#include "platform/program_paths.h"

#include <unistd.h>

#include <array>
#include <climits>

#include "platform/drive_table.h"
#include "platform/file_system.h"
#include "platform/host_path.h"

namespace vpk {

namespace {
std::string& OverrideFolder() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string ProgramFolderHost() {
    if (!OverrideFolder().empty()) return OverrideFolder();
    std::array<char, PATH_MAX> exe{};
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) return host::Normalize(".");
    return host::Parent(std::string(exe.data(), static_cast<std::size_t>(n)));
}

std::string ProgramFolderVirtual() {
    std::string folder = Fs().ToVirtual(ProgramFolderHost());
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

void SetProgramFolderHost(std::string hostFolder) {
    OverrideFolder() = hostFolder.empty() ? std::string() : host::Normalize(hostFolder);
}

std::vector<std::string> LoadProgramDriveTable() {
    std::vector<std::string> problems;
    FileSystem& fs = Fs();
    fs.SetDriveTable(DriveTable::Load(ProgramFolderHost() + "/drives.ini", &problems));
    // The current folder follows the host's, now that the table gives it a virtual form.
    std::array<char, PATH_MAX> cwd{};
    if (::getcwd(cwd.data(), cwd.size())) {
        const std::string here = fs.ToVirtual(cwd.data());
        if (!here.empty()) fs.SetCurrentFolder(here);
    }
    return problems;
}

}  // namespace vpk
