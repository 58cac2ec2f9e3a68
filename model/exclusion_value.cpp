#include "model/exclusion_value.h"

#include "model/path_routines.h"

namespace vpk {

std::vector<std::string> ExclusionPatterns(std::string_view value) {
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= value.size()) {
        const auto bar = value.find('|', start);
        const auto stop = bar == std::string_view::npos ? value.size() : bar;
        if (stop > start) patterns.emplace_back(value.substr(start, stop - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return patterns;
}

std::string ExclusionValue(const std::vector<std::string>& patterns) {
    std::string value;
    for (const std::string& pattern : patterns)
        if (!pattern.empty()) value += "|" + pattern;
    return value;
}

std::vector<std::string> ExclusionsForRun(const std::vector<std::string>& patterns,
                                          std::string_view dataFolder, bool storePaths) {
    std::vector<std::string> result;
    result.reserve(patterns.size());
    for (const std::string& pattern : patterns)
        result.push_back(storePaths ? AddBackslash(dataFolder) + pattern : pattern);
    return result;
}

}  // namespace vpk
