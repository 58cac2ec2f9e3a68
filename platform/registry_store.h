#pragma once
// The registry: string values under three hives, kept in registry.ini of the program folder (one
// section per key path, e.g. [HKEY_CURRENT_USER\Software\Vortipak]). Key paths compare without regard
// to case. Well-known keys are mirrored into the desktop's conventions:
//  - HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run (and RunOnce): each value is
//    also written as ~/.config/autostart/<name>.desktop and removed with it;
//  - HKEY_CURRENT_USER\...\Explorer\Shell Folders "Start Menu" / "Desktop" read as the XDG applications
//    folder and desktop folder (virtual paths) when not set.
// Failures report nothing (false / the default), as the callers expect of registry calls.
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine };

class RegistryStore {
public:
    // The store of the program folder.
    static RegistryStore& Instance();
    // A store over another file (host or virtual path); tests use it.
    explicit RegistryStore(std::string file);

    bool CreateKey(Hive hive, std::string_view key);
    bool KeyExists(Hive hive, std::string_view key) const;
    std::string ReadString(Hive hive, std::string_view key, std::string_view name,
                           std::string_view defaultValue = {}) const;
    bool ValueExists(Hive hive, std::string_view key, std::string_view name) const;
    bool WriteString(Hive hive, std::string_view key, std::string_view name, std::string_view value);
    bool DeleteValue(Hive hive, std::string_view key, std::string_view name);
    bool DeleteKey(Hive hive, std::string_view key);  // with every sub-key
    std::vector<std::string> ValueNames(Hive hive, std::string_view key) const;
    std::vector<std::string> SubKeys(Hive hive, std::string_view key) const;

    const std::string& File() const { return file_; }
    // Folder receiving autostart mirrors (default ~/.config/autostart); tests point it elsewhere.
    void SetAutostartFolder(std::string hostFolder) { autostart_ = std::move(hostFolder); }

private:
    std::string file_;
    std::string autostart_;
};

}  // namespace vpk
