#include "model/numbered_keys.h"

#include <algorithm>
#include <cstdlib>

#include "model/profile_section.h"
#include "model/text_fields.h"
#include "platform/profile_file.h"

namespace vpk {

std::vector<std::string> ReadNumberedValues(std::string_view file, std::string_view section) {
    std::vector<std::pair<unsigned long, std::string>> numbered;
    for (const std::string& key : profile::ReadKeys(file, section)) {
        if (key.size() < 2 || key.size() > 10 || (key[0] != 'n' && key[0] != 'N')) continue;
        const std::string_view digits = std::string_view(key).substr(1);
        if (!IsAllDigits(digits)) continue;
        numbered.emplace_back(std::strtoul(key.c_str() + 1, nullptr, 10), key);
    }
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> values;
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        // A key listed twice ("n1" and "N01") reads the same value: only its first line counts.
        if (i > 0 && numbered[i].first == numbered[i - 1].first) continue;
        const std::string& key = numbered[i].second;
        std::string value = profile::ReadString(file, section, key);
        if (!value.empty()) values.push_back(std::move(value));
    }
    return values;
}

void WriteNumberedValues(std::string_view file, std::string_view section,
                         const std::vector<std::string>& values) {
    profile::EraseSection(file, section);
    const ProfileSection list{std::string(file), std::string(section)};
    for (std::size_t i = 0; i < values.size(); ++i) list.WriteText(NumberedKey(i), values[i]);
}

std::string NumberedKey(std::size_t index) {
    return "n" + std::to_string(index);
}

}  // namespace vpk
