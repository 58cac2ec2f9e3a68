#pragma once
// The schedule lines of query files: section "RunServiceVpk" of vortipak.ini, keys "n0", "n1", ...
// without gaps. A line ends with a blank and the full path of its query file.
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

std::vector<std::string> ReadQueryScheduleList(std::string_view settingsFile);
// Replaces the line of queryFile with scheduleLine, removes it when scheduleLine is empty, or
// appends scheduleLine when no line matched. A line matches when the text after its first ":\"
// equals queryFile without its drive, case ignored (the drive letter of the path may differ).
void UpdateQueryScheduleList(std::string_view settingsFile, std::string_view queryFile,
                             std::string_view scheduleLine);

}  // namespace vpk
