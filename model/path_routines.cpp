#include "model/path_routines.h"

#include "model/text_fields.h"
#include "platform/file_system.h"
#include "platform/program_paths.h"

namespace vpk {

namespace {

constexpr std::string_view kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string VirtualFolderOf(std::string_view hostFolder) {
    std::string path = Fs().ToVirtual(hostFolder);
    return path.size() > 3 ? RemoveBackslash(path) : path;
}

std::string ShellFolder(const RegistryStore& store, std::string_view name) {
    return AddBackslash(store.ReadString(Hive::CurrentUser, kShellFoldersKey, name));
}

// Joins a folder and the rest of an entry without doubling the separator, which an entry written
// as "(app)\sub" after a folder ending in '\' would otherwise get.
std::string Join(std::string_view folder, std::string_view rest) {
    if (!folder.empty() && folder.back() == '\\' && !rest.empty() && rest.front() == '\\')
        rest.remove_prefix(1);
    return std::string(folder) + std::string(rest);
}

}  // namespace

std::string AddBackslash(std::string_view s) {
    std::string result(s);
    if (!result.empty() && result.back() != '\\') result += '\\';
    return result;
}

std::string RemoveBackslash(std::string_view s) {
    if (!s.empty() && s.back() == '\\') s.remove_suffix(1);
    return std::string(s);
}

std::string ProgramFolder() {
    return AddBackslash(ProgramFolderVirtual());
}

std::string WindowsFolder() {
    return VirtualFolderOf("/etc");
}

std::string SystemFolder() {
    return VirtualFolderOf("/usr/lib");
}

std::string DesktopFolder(const RegistryStore& store) {
    return ShellFolder(store, "Desktop");
}

std::string StartMenuFolder(const RegistryStore& store) {
    return ShellFolder(store, "Start Menu");
}

std::string ExpandEntryPath(std::string_view base, std::string_view line) {
    // The key never holds '=', so the value starts after the first one; a file name may hold '='.
    const auto equals = line.find('=');
    const std::string_view value = equals == std::string_view::npos ? line : line.substr(equals + 1);
    if (value.find("(app)") != std::string_view::npos) return Join(base, AfterLast("(app)", value));
    if (value.find("(.)") != std::string_view::npos) return Join(DirOf(base), AfterLast("(.)", value));
    if (value.find("(win)") != std::string_view::npos)
        return Join(WindowsFolder(), AfterLast("(win)", value));
    if (value.find("(sys)") != std::string_view::npos) return Join(SystemFolder(), AfterLast("(sys)", value));
    return Join(base, value);
}

}  // namespace vpk
