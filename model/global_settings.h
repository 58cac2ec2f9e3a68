#pragma once
// The settings file vortipak.ini that both programs share. Every read goes to the file (a change by
// the other program or by hand is seen at the next read); every write goes to the file at once and
// only when the value changes. A refused write raises PlatformError naming the file.
#include <string>
#include <string_view>

#include "model/history_list.h"
#include "model/setting_keys.h"

namespace vpk {

enum class ProgramKind { Backup, Wizard };

class GlobalSettings {
  public:
    explicit GlobalSettings(std::string file) : file_(std::move(file)) {}
    // vortipak.ini of the program folder.
    static std::string DefaultFile();

    const std::string& File() const { return file_; }

    bool Read(const FlagSetting& setting) const;
    int Read(const IntegerSetting& setting) const;
    std::string Read(const TextSetting& setting) const;
    // The stored text of any known key, or its default; the raw value for a key no program knows.
    std::string ReadByName(std::string_view section, std::string_view key) const;

    // Each writes only when the stored text differs (or the key is missing), so reading a setting and
    // saving it unchanged leaves the file as it was.
    void Write(const FlagSetting& setting, bool value) const;
    void Write(const IntegerSetting& setting, int value) const;
    void Write(const TextSetting& setting, std::string_view value) const;

    // Keys whose default depends on who reads or on other settings.
    bool Automate(ProgramKind reader) const;  // on for the backup program, off for the wizard
    std::string LnkOther() const;             // Desktop folder + "Sauvez Moi\"
    std::string WizardDestination() const;    // "wzd" "dest", else the wizard's history "last"
    std::string WizardIconFile() const;       // "wzd" "iconame", else icones.dll of the program
    std::string WizardSpath(std::string_view askFolder) const;  // "><" shown as askFolder
    void WriteWizardSpath(std::string_view shown, std::string_view askFolder) const;

    void LoadHistory(HistoryList& box, const HistorySection& section) const;
    void SaveHistory(const HistoryList& box, const HistorySection& section) const;

  private:
    void WriteIfChanged(std::string_view section, std::string_view key, std::string_view text) const;
    std::string file_;
};

}  // namespace vpk
