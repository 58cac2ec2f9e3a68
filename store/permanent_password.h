#pragma once
// The permanent archive password: entered once, kept enciphered (CipherText) as key "dateinstall" of
// section "div" in the settings file, used by every backup whose query asks for a password.
#include <string>
#include <string_view>

namespace vpk {

inline constexpr std::string_view kPermanentPasswordSection = "div";
inline constexpr std::string_view kPermanentPasswordKey = "dateinstall";

// The password (UTF-8), or empty when there is none: a missing value, one of fewer than 4 characters,
// or one no encoding produces. An empty result always means "ask for a password".
std::string ReadPermanentPassword(std::string_view settingsFile);

// Writes the enciphered password; an empty one writes an empty value, which removes it. Raises
// std::invalid_argument for characters outside the ANSI code page (they could not be read back),
// and the settings layer's error when the file cannot be written.
void WritePermanentPassword(std::string_view settingsFile, std::string_view password);

}  // namespace vpk
