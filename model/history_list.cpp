#include "model/history_list.h"

#include <algorithm>

#include "model/numbered_keys.h"
#include "model/profile_section.h"
#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

bool IsBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

}  // namespace

void LoadHistory(HistoryList& box, std::string_view file, std::string_view section,
                 std::string_view defaultEntry) {
    std::vector<std::string> entries;
    if (profile::ReadKeys(file, section).empty()) {
        if (defaultEntry.empty()) return;
        entries.emplace_back(defaultEntry);
    } else {
        entries = ReadNumberedValues(file, section);
        if (entries.empty()) return;
    }
    std::string text = profile::ReadString(file, section, "last");
    if (text.empty()) text = entries.front();
    box.SetEntries(std::move(entries));
    if (text.find(":\\") != std::string::npos && text.size() < 4) box.SetCaret(text.size());
    box.SetText(std::move(text));
}

void SaveHistory(const HistoryList& box, std::string_view file, std::string_view section) {
    if (box.Entries().empty()) return;
    std::vector<std::string> kept;
    for (const std::string& entry : box.Entries())
        if (!IsBlank(entry)) kept.push_back(entry);
    WriteNumberedValues(file, section, kept);
    ProfileSection(std::string(file), std::string(section)).WriteText("last", box.Text());
}

void AddToHistory(HistoryList& box) {
    if (IsBlank(box.Text())) return;
    const auto& entries = box.Entries();
    const bool known = std::any_of(entries.begin(), entries.end(),
                                   [&](const std::string& e) { return SameText(e, box.Text()); });
    if (known) return;
    std::vector<std::string> grown = entries;
    grown.push_back(box.Text());
    box.SetEntries(std::move(grown));
}

void FillDrives(HistoryList& box) {
    const std::uint32_t drives = Fs().LogicalDrives();
    std::vector<std::string> roots;
    for (int bit = 0; bit < 26; ++bit)
        if (drives & (1u << bit)) roots.push_back(std::string(1, static_cast<char>('A' + bit)) + ":\\");
    box.SetText(roots.size() > 1 ? roots[1] : roots.empty() ? std::string() : roots[0]);
    box.SetEntries(std::move(roots));
}

}  // namespace vpk
