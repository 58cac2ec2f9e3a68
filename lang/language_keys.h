#pragma once
// Every key the programs look up in a language file, in the order the language files list them. This is
// the one list the programs draw on (the property paths each translation component is given) and the
// list the language files are checked against, so no text silently shows its key and no file carries a
// text nothing reads.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vpk::language_keys {

// Section names of a language file.
inline constexpr std::string_view kTranslationsSection = "Translations";
inline constexpr std::string_view kMessagesSection = "Messages";
inline constexpr std::string_view kButtonsSection = "Buttons";
inline constexpr std::string_view kThanksSection = "Thanks";
inline constexpr std::string_view kRegSection = "reg";

// "Messages": six-digit keys of both programs in ascending order, then the named keys.
std::span<const std::string_view> MessageKeys();
// "Buttons": button captions and dialog titles.
std::span<const std::string_view> ButtonKeys();
// "Thanks": the translation credit line of the About windows, its hint and its address.
std::span<const std::string_view> ThanksKeys();

// "Translations": property paths (form.component.property) of each translation component.
std::span<const std::string_view> BackupTranslations();  // backup program's main window `Lg`
std::span<const std::string_view> ViewerTranslations();  // archive viewer's `Lgv`
std::span<const std::string_view> WizardTranslations();  // query wizard's `Lg`
// The three lists above, in that order: the layout of a file's "Translations" section.
std::vector<std::string_view> AllTranslations();

// A list ready to become the `Properties` of a translation component.
std::vector<std::string> PropertyList(std::span<const std::string_view> paths);

}  // namespace vpk::language_keys
