#pragma once
// Names built for archives: the date prefix and the archive's file name from a query's base name.
#include <string>
#include <string_view>

namespace vpk {

// The user's locale (LC_ALL, else LC_MESSAGES, else LANG) is French.
bool IsFrenchUser();
// Today as "DDMM" (dayFirst) or "MMDD"; empty when on is false.
std::string DatePrefix(bool dayFirst, bool on);
// The archive file name for a base name: "SansNom"/"NoName" for an empty one, "Dsk_<letter>" for a
// bare drive, the last folder name for a folder, the name of a query file without ".vpk" and its
// leading '!', always without any folder part; with withExt, ".exe" (sfx) or ".zip" unless the name
// already holds that extension.
std::string ArchiveFileName(std::string_view name, bool sfx, bool withExt);

}  // namespace vpk
