#include "lang/language_choice.h"

#include <exception>

#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

constexpr LanguageEntry kEntries[] = {
    {"MnuEnglish", "English"}, {"MnuFrench", "French"},   {"MnuDeutsch", "Deutsch"},
    {"mnuSpanish", "espanol"}, {"mnuItalian", "Italian"}, {"MnuCustom", "custom"},
};

constexpr std::string_view kGeneralSection = "general";
constexpr std::string_view kLanguageKey = "lang";

}  // namespace

std::span<const LanguageEntry> LanguageEntries() {
    return kEntries;
}

std::optional<LanguageEntry> LanguageOfMenuItem(std::string_view menuItem) {
    for (const LanguageEntry& entry : kEntries)
        if (SameText(entry.menuItem, menuItem)) return entry;
    return std::nullopt;
}

std::string SavedLanguageName(std::string_view settingsFile) {
    return profile::ReadString(settingsFile, kGeneralSection, kLanguageKey, kDefaultLanguage);
}

bool LanguageFileExists(std::string_view programFolder, std::string_view name) {
    return FileSystem::Instance().FileExists(LanguageFileName(programFolder, name));
}

void LoadSavedLanguage(TLanguage& language, std::string_view settingsFile, std::string_view programFolder) {
    language.SetFN(LanguageFileName(programFolder, SavedLanguageName(settingsFile)));
    language.Translate();
}

void SwitchLanguage(TLanguage& language, std::string_view name, std::string_view settingsFile,
                    std::string_view programFolder, RegistryStore& registry) {
    language.SetFN(LanguageFileName(programFolder, name));
    std::exception_ptr settingsError;
    try {
        profile::WriteString(settingsFile, kGeneralSection, kLanguageKey, name);
    } catch (...) {
        settingsError = std::current_exception();
    }
    language.Translate();
    language.WriteRegEntries(registry);
    if (settingsError) std::rethrow_exception(settingsError);
}

std::string HelpFileAfterSwitch(std::string_view name, std::string_view programFolder,
                                std::string_view currentHelpFile) {
    if (SameText(name, "French")) return "vortipak.hlp";
    if (SameText(name, "Deutsch")) {
        const bool german = FileSystem::Instance().FileExists(FileInFolder(programFolder, "vortipak_d.hlp"));
        return german ? "vortipak_d.hlp" : "vortipak_e.hlp";
    }
    return std::string(currentHelpFile);
}

}  // namespace vpk
