#pragma once
// Reading and changing a profile file on disk, shared by the profile calls and the registry store.
#include <functional>
#include <string_view>

#include "platform/profile_document.h"

namespace vpk {

// The document as on disk now; empty when the file is missing or cannot be read.
ProfileDocument ReadProfileFile(std::string_view file);
// The decoded text of a profile file; empty when it cannot be read.
std::string ReadProfileText(std::string_view file);
// One value, without building the document.
bool ReadProfileValue(std::string_view file, std::string_view section, std::string_view key, std::string& value);

// Loads the file, applies edit and writes the result back when edit reports a change. Everything that
// could refuse the write is checked before anything is written; a refusal raises PlatformError naming
// the file. A Windows-1252 file stays 1252 while the text fits; a UTF-8 byte-order mark is kept.
void EditProfileFile(std::string_view file, const std::function<bool(ProfileDocument&)>& edit);

}  // namespace vpk
