#pragma once
// Reading and changing a profile file on disk, shared by the profile calls and the registry store.
#include <functional>
#include <string_view>

#include "platform/profile_document.h"

namespace vpk {

// The document as on disk now; empty when the file is missing or cannot be read.
ProfileDocument ReadProfileFile(std::string_view file);

// Loads the file, applies edit and writes the result back when edit reports a change. Everything that
// could refuse the write is checked before anything is written; a refusal raises PlatformError naming
// the file. A Windows-1252 file stays 1252 while the text fits; a UTF-8 byte-order mark is kept.
void EditProfileFile(std::string_view file, const std::function<bool(ProfileDocument&)>& edit);

}  // namespace vpk
