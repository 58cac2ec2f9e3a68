#pragma once
// Choosing the interface language: the language menu entries, the language kept in the global settings
// file, and the switch a menu entry makes while a program runs.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lang/language.h"
#include "platform/registry_store.h"

namespace vpk {

struct LanguageEntry {
    std::string_view menuItem;  // name of the language menu entry
    std::string_view name;      // written to "lang"; the file is its lower-cased form + ".lgn"
};

// MnuEnglish, MnuFrench, MnuDeutsch, mnuSpanish, mnuItalian, MnuCustom, in menu order.
std::span<const LanguageEntry> LanguageEntries();
// The entry of a menu item (case-blind); nullopt for any other name.
std::optional<LanguageEntry> LanguageOfMenuItem(std::string_view menuItem);

inline constexpr std::string_view kDefaultLanguage = "French";

// "lang" of section "general", default "French".
std::string SavedLanguageName(std::string_view settingsFile);
// A menu entry is enabled only when the file it loads exists in the program folder.
bool LanguageFileExists(std::string_view programFolder, std::string_view name);

// Start-up: FN := the saved language's file in programFolder, then Translate.
void LoadSavedLanguage(TLanguage& language, std::string_view settingsFile, std::string_view programFolder);

// A language menu entry: FN := the language's file, "lang" := name, Translate, WriteRegEntries.
// The translation and the registry entries are made even when the settings file refuses the write;
// that error (PlatformError) is raised afterwards so the caller can tell the choice was not kept.
void SwitchLanguage(TLanguage& language, std::string_view name, std::string_view settingsFile,
                    std::string_view programFolder, RegistryStore& registry);

// The wizard's help file after a switch: "vortipak.hlp" for French; for Deutsch "vortipak_d.hlp" when
// it is in the program folder, else "vortipak_e.hlp"; any other language keeps currentHelpFile.
std::string HelpFileAfterSwitch(std::string_view name, std::string_view programFolder,
                                std::string_view currentHelpFile);

}  // namespace vpk
