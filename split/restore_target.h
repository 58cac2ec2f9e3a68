#pragma once
// Where a stored file goes back to, and whether it does.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vpk {
enum class TRestoreMode;
}

namespace vpk::split {

// The target of a stored name ("c:\data\a.txt"). Without destFolder: the stored name itself. With
// destFolder (ending in '\'): destFolder + the name's file-name part, or with fullPath destFolder + the
// name less its drive part (first three characters). Under destFolder a damaged or hostile name never
// leaves it: empty, "." and ".." components are dropped. nullopt when nothing usable is left.
std::optional<std::string> RestoreTargetName(std::string_view storedName, std::string_view destFolder,
                                             bool fullPath);

// The overwrite rule: targetDate is the target's last-write time (nullopt when it does not exist),
// both dates packed DOS date/time, compared chronologically.
bool ShouldRestore(TRestoreMode mode, std::optional<std::uint32_t> targetDate, std::uint32_t storedDate);

}  // namespace vpk::split
