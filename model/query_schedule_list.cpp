#include "model/query_schedule_list.h"

#include "model/numbered_keys.h"
#include "model/text_fields.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

constexpr std::string_view kSection = "RunServiceVpk";

}  // namespace

std::vector<std::string> ReadQueryScheduleList(std::string_view settingsFile) {
    return ReadNumberedValues(settingsFile, kSection);
}

void UpdateQueryScheduleList(std::string_view settingsFile, std::string_view queryFile,
                             std::string_view scheduleLine) {
    std::vector<std::string> lines = ReadQueryScheduleList(settingsFile);
    // A list edited by hand (a gap, an empty line, a stray key) is written back in order.
    const bool untidy = lines.size() != profile::ReadKeys(settingsFile, kSection).size();
    std::string full = Fs().FullPath(queryFile);
    if (full.empty()) full = std::string(queryFile);
    const std::string wanted =
        UpperCase(full.size() > 3 ? std::string_view(full).substr(3) : std::string_view());
    bool matched = false;
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        if (it->find(":\\") == std::string::npos || UpperCase(AfterFirst(":\\", *it)) != wanted) continue;
        if (scheduleLine.empty())
            lines.erase(it);
        else
            *it = std::string(scheduleLine);
        matched = true;
        break;
    }
    if (!matched && !scheduleLine.empty()) lines.emplace_back(scheduleLine);
    // Nothing to change: the section keeps its place in the file.
    if (!matched && scheduleLine.empty() && !untidy) return;
    WriteNumberedValues(settingsFile, kSection, lines);
}

}  // namespace vpk
