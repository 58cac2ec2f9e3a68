#pragma once
// Where an entry may be written: its stored name made relative and checked, so that no name ("..\",
// an absolute path, a drive letter, a device path) can land outside the extraction folder.
#include <optional>
#include <string>
#include <string_view>

namespace vpk::zip {

// The relative path ("\" separators) for an entry name, or nullopt when the name is unsafe or empty.
// dirNames false keeps only the last component.
std::optional<std::string> SafeRelativePath(std::string_view entryName, bool dirNames);

}  // namespace vpk::zip
