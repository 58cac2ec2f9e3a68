#include "model/query_schedule_list.h"

#include "model/text_fields.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

constexpr std::string_view kSection = "RunServiceVpk";

std::string EntryKey(std::size_t index) {
    return "n" + std::to_string(index);
}

}  // namespace

std::vector<std::string> ReadQueryScheduleList(std::string_view settingsFile) {
    const std::size_t count = profile::ReadKeys(settingsFile, kSection).size();
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        std::string line = profile::ReadString(settingsFile, kSection, EntryKey(i));
        // A hole left by a hand edit is not a line; rewriting closes it.
        if (!line.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

void UpdateQueryScheduleList(std::string_view settingsFile, std::string_view queryFile,
                             std::string_view scheduleLine) {
    std::vector<std::string> lines = ReadQueryScheduleList(settingsFile);
    const bool hadHoles = lines.size() != profile::ReadKeys(settingsFile, kSection).size();
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
    if (!matched && scheduleLine.empty() && !hadHoles) return;
    profile::EraseSection(settingsFile, kSection);
    for (std::size_t i = 0; i < lines.size(); ++i)
        profile::WriteString(settingsFile, kSection, EntryKey(i), lines[i]);
}

}  // namespace vpk
