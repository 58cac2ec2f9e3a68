#pragma once
// Strings stored in a container (title, names, the ID list). Containers from Windows hold them in the
// ANSI code page (Windows-1252); a name that page cannot spell is stored as UTF-8 rather than losing
// characters to '?'. The reader takes valid UTF-8 as UTF-8 and anything else as 1252, so the writer
// also picks UTF-8 for the rare 1252 spelling that happens to be valid UTF-8.
#include <string>
#include <string_view>

namespace vpk::split {

std::string EncodeStoredText(std::string_view utf8);
std::string DecodeStoredText(std::string_view stored);

}  // namespace vpk::split
