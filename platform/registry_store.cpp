#include "platform/registry_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/process.h"
#include "platform/profile_edit.h"
#include "platform/program_paths.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

// The unnamed ("default") value of a key, as .reg files write it.
constexpr std::string_view kDefaultValueName = "@";
constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr std::string_view kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kMirrorMark = "X-Vpk-Registry-Value";

const char* HiveName(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case Hive::CurrentUser:
            return "HKEY_CURRENT_USER";
        case Hive::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return "HKEY_CURRENT_USER";
}

// "\\Software\\\\Vpk\\" → "Software\\Vpk": the form kept in section names.
std::string CleanKey(std::string_view key) {
    std::string out;
    for (char c : key) {
        if (c == '/') c = '\\';
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

std::string SectionOf(Hive hive, std::string_view key) {
    const std::string clean = CleanKey(key);
    return clean.empty() ? HiveName(hive) : std::string(HiveName(hive)) + "\\" + clean;
}

bool ValidKey(std::string_view key) {
    return key.find_first_of("[]\r\n") == std::string_view::npos;
}

std::string ValueKey(std::string_view name) {
    return name.empty() ? std::string(kDefaultValueName) : std::string(name);
}

bool ValidName(std::string_view name) {
    const std::size_t first = name.find_first_not_of(" \t");
    if (name.empty()) return true;
    return first != std::string_view::npos && name.find_first_of("=\r\n") == std::string_view::npos &&
           name[first] != '[' && name[first] != ';' && name != kDefaultValueName;
}

bool IsRunKey(Hive hive, std::string_view key) {
    const std::string clean = CleanKey(key);
    return hive == Hive::LocalMachine && (SameText(clean, kRunKey) || SameText(clean, kRunOnceKey));
}

std::string Home() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

std::string XdgFolder(const char* variable, const std::string& fallback) {
    const char* value = std::getenv(variable);
    return value && *value == '/' ? value : fallback;
}

// The desktop folder of xdg-user-dirs: XDG_DESKTOP_DIR="$HOME/Desktop" in user-dirs.dirs.
std::string DesktopHost() {
    std::ifstream dirs(XdgFolder("XDG_CONFIG_HOME", Home() + "/.config") + "/user-dirs.dirs");
    std::string line;
    while (std::getline(dirs, line)) {
        const std::string prefix = "XDG_DESKTOP_DIR=\"";
        if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') continue;
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
        if (!value.empty() && value.front() == '/') return value;
    }
    return Home() + "/Desktop";
}

std::string ApplicationsHost() {
    return XdgFolder("XDG_DATA_HOME", Home() + "/.local/share") + "/applications";
}

// A file name for the mirror of a Run value: no '/' and no leading dot.
std::string DesktopFileName(std::string_view name) {
    std::string out;
    for (char c : name) out += (c == '/' || c == '\0') ? '_' : c;
    if (out.empty() || out.front() == '.') out.insert(out.begin(), '_');
    return out + ".desktop";
}

// Exec quoting of the desktop-entry format: arguments with reserved characters go in double quotes
// with '"', '`', '$' and '\\' escaped; then every '\\' is doubled for the string value.
std::string ExecLine(const std::vector<std::string>& argv) {
    std::string exec;
    for (const auto& arg : argv) {
        if (!exec.empty()) exec += ' ';
        if (!arg.empty() && arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`=%") == std::string::npos) {
            exec += arg;
            continue;
        }
        exec += '"';
        for (char c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') exec += '\\';
            exec += c == '%' ? std::string("%%") : std::string(1, c);
        }
        exec += '"';
    }
    std::string escaped;
    for (char c : exec) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return escaped;
}

}  // namespace

RegistryStore& RegistryStore::Instance() {
    static RegistryStore store("");
    // The program folder can move (tests, tools): follow it.
    store.file_ = ProgramFolderHost() + "/registry.ini";
    return store;
}

RegistryStore::RegistryStore(std::string file) : file_(std::move(file)) {}

bool RegistryStore::CreateKey(Hive hive, std::string_view key) {
    if (!ValidKey(key)) return false;
    try {
        EditProfileFile(file_, [&](ProfileDocument& doc) { return doc.AddSection(SectionOf(hive, key)); });
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

bool RegistryStore::KeyExists(Hive hive, std::string_view key) const {
    if (!ValidKey(key)) return false;
    const std::string section = SectionOf(hive, key);
    for (const auto& s : ReadProfileFile(file_).Sections()) {
        if (SameText(s, section) || (s.size() > section.size() && s[section.size()] == '\\' &&
                                     SameText(std::string_view(s).substr(0, section.size()), section))) {
            return true;
        }
    }
    return false;
}

std::string RegistryStore::ReadString(Hive hive, std::string_view key, std::string_view name,
                                      std::string_view defaultValue) const {
    std::string value;
    if (ValidKey(key) && ValidName(name) &&
        ReadProfileValue(file_, SectionOf(hive, key), ValueKey(name), value)) {
        return value;
    }
    if (hive == Hive::CurrentUser && SameText(CleanKey(key), kShellFoldersKey)) {
        if (SameText(name, "Start Menu")) return Fs().ToVirtual(ApplicationsHost());
        if (SameText(name, "Desktop")) return Fs().ToVirtual(DesktopHost());
    }
    return std::string(defaultValue);
}

bool RegistryStore::ValueExists(Hive hive, std::string_view key, std::string_view name) const {
    std::string value;
    return ValidKey(key) && ValidName(name) &&
           ReadProfileValue(file_, SectionOf(hive, key), ValueKey(name), value);
}

bool RegistryStore::WriteString(Hive hive, std::string_view key, std::string_view name,
                                std::string_view value) {
    if (!ValidKey(key) || !ValidName(name) || value.find_first_of("\r\n") != std::string_view::npos)
        return false;
    try {
        EditProfileFile(file_, [&](ProfileDocument& doc) {
            doc.SetValue(SectionOf(hive, key), ValueKey(name), value);
            return true;
        });
    } catch (const PlatformError&) {
        return false;
    }
    if (IsRunKey(hive, key) && !name.empty()) {
        const std::string folder = autostart_.empty()
                                       ? XdgFolder("XDG_CONFIG_HOME", Home() + "/.config") + "/autostart"
                                       : autostart_;
        if (!Fs().CreateFolderChain(folder)) return false;
        std::string entry = "[Desktop Entry]\nType=Application\nName=" + std::string(name) +
                            "\nExec=" + ExecLine(MapCommandLine(value)) + "\n" + std::string(kMirrorMark) +
                            "=" + std::string(name) + "\n";
        try {
            WriteFileAtomically(folder + "/" + DesktopFileName(name), entry);
        } catch (const PlatformError&) {
            return false;
        }
    }
    return true;
}

bool RegistryStore::DeleteValue(Hive hive, std::string_view key, std::string_view name) {
    if (!ValidKey(key) || !ValidName(name)) return false;
    bool found = false;
    try {
        EditProfileFile(file_, [&](ProfileDocument& doc) {
            found = doc.DeleteKey(SectionOf(hive, key), ValueKey(name));
            return found;
        });
    } catch (const PlatformError&) {
        return false;
    }
    if (IsRunKey(hive, key) && !name.empty()) {
        const std::string folder = autostart_.empty()
                                       ? XdgFolder("XDG_CONFIG_HOME", Home() + "/.config") + "/autostart"
                                       : autostart_;
        const std::string desktop = folder + "/" + DesktopFileName(name);
        std::string text;
        // Only a mirror we wrote is removed, never a desktop file of the user's with the same name.
        if (ReadWholeFile(desktop, text) && text.find(std::string(kMirrorMark) + "=") != std::string::npos) {
            ::unlink(desktop.c_str());
            found = true;
        }
    }
    return found;
}

bool RegistryStore::DeleteKey(Hive hive, std::string_view key) {
    if (!ValidKey(key) || CleanKey(key).empty()) return false;
    const std::string section = SectionOf(hive, key);
    if (IsRunKey(hive, key)) {
        for (const auto& name : ValueNames(hive, key)) DeleteValue(hive, key, name);
    }
    bool found = false;
    try {
        EditProfileFile(file_, [&](ProfileDocument& doc) {
            for (const auto& s : doc.Sections()) {
                if (SameText(s, section) ||
                    (s.size() > section.size() && s[section.size()] == '\\' &&
                     SameText(std::string_view(s).substr(0, section.size()), section))) {
                    found = doc.EraseSection(s) || found;
                }
            }
            return found;
        });
    } catch (const PlatformError&) {
        return false;
    }
    return found;
}

std::vector<std::string> RegistryStore::ValueNames(Hive hive, std::string_view key) const {
    std::vector<std::string> names;
    if (!ValidKey(key)) return names;
    for (auto& name : ReadProfileFile(file_).Keys(SectionOf(hive, key))) {
        names.push_back(name == kDefaultValueName ? std::string() : std::move(name));
    }
    return names;
}

std::vector<std::string> RegistryStore::SubKeys(Hive hive, std::string_view key) const {
    std::vector<std::string> keys;
    if (!ValidKey(key)) return keys;
    const std::string prefix = SectionOf(hive, key) + "\\";
    for (const auto& s : ReadProfileFile(file_).Sections()) {
        if (s.size() <= prefix.size() || !SameText(std::string_view(s).substr(0, prefix.size()), prefix))
            continue;
        const std::string child = s.substr(prefix.size(), s.find('\\', prefix.size()) - prefix.size());
        bool seen = false;
        for (const auto& k : keys) seen = seen || SameText(k, child);
        if (!seen && !child.empty()) keys.push_back(child);
    }
    return keys;
}

}  // namespace vpk
