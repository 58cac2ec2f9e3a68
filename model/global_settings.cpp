#include "model/global_settings.h"

#include "model/path_routines.h"
#include "model/profile_section.h"
#include "model/query_keys.h"
#include "model/query_record.h"
#include "platform/profile_file.h"

namespace vpk {

std::string GlobalSettings::DefaultFile() {
    return ProgramFolder() + "vortipak.ini";
}

bool GlobalSettings::Read(const FlagSetting& s) const {
    return profile::ReadFlag(file_, s.section, s.key, s.defaultValue);
}

int GlobalSettings::Read(const IntegerSetting& s) const {
    return ProfileSection(file_, std::string(s.section)).Integer(s.key, s.defaultValue);
}

std::string GlobalSettings::Read(const TextSetting& s) const {
    return profile::ReadString(file_, s.section, s.key, s.defaultValue);
}

std::string GlobalSettings::ReadByName(std::string_view section, std::string_view key) const {
    const auto info = FindSetting(section, key);
    if (!info) return profile::ReadString(file_, section, key);
    switch (info->type) {
        case SettingType::Flag:
            return profile::ReadFlag(file_, section, key, info->defaultText == "1") ? "1" : "0";
        case SettingType::Integer:
            return std::to_string(profile::ReadInteger(file_, section, key, std::stoll(info->defaultText)));
        case SettingType::Text:
            break;
    }
    return profile::ReadString(file_, section, key, info->defaultText);
}

void GlobalSettings::Write(const FlagSetting& s, bool value) const {
    WriteIfChanged(s.section, s.key, value ? "1" : "0");
}

void GlobalSettings::Write(const IntegerSetting& s, int value) const {
    WriteIfChanged(s.section, s.key, std::to_string(value));
}

void GlobalSettings::Write(const TextSetting& s, std::string_view value) const {
    WriteIfChanged(s.section, s.key, value);
}

void GlobalSettings::WriteIfChanged(std::string_view section, std::string_view key,
                                    std::string_view text) const {
    ProfileSection(file_, std::string(section)).WriteText(key, text);
}

bool GlobalSettings::Automate(ProgramKind reader) const {
    return profile::ReadFlag(file_, settings::general::kAutomate.section, settings::general::kAutomate.key,
                             reader == ProgramKind::Backup);
}

std::string GlobalSettings::LnkOther() const {
    const auto& s = settings::general::kLnkOther;
    return profile::ReadString(file_, s.section, s.key, DesktopFolder() + std::string(s.defaultValue));
}

std::string GlobalSettings::WizardDestination() const {
    std::string dest = Read(settings::wzd::kDest);
    return dest.empty() ? WizardDestinationDefault(file_) : dest;
}

std::string GlobalSettings::WizardIconFile() const {
    const auto& s = settings::wzd::kIcoName;
    return profile::ReadString(file_, s.section, s.key, ProgramFolder() + std::string(s.defaultValue));
}

std::string GlobalSettings::WizardSpath(std::string_view askFolder) const {
    return SpathShown(Read(settings::wzd::kSpath), askFolder);
}

void GlobalSettings::WriteWizardSpath(std::string_view shown, std::string_view askFolder) const {
    Write(settings::wzd::kSpath, SpathStored(shown, askFolder));
}

void GlobalSettings::LoadHistory(HistoryList& box, const HistorySection& section) const {
    vpk::LoadHistory(box, file_, section.section, section.defaultEntry);
}

void GlobalSettings::SaveHistory(const HistoryList& box, const HistorySection& section) const {
    vpk::SaveHistory(box, file_, section.section);
}

}  // namespace vpk
