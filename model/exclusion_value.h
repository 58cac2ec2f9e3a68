#pragma once
// The "exclu" value of a numbered query: every pattern preceded by '|' ("|*.tmp|*.bak").
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

// The patterns in order. Each piece between bars is one pattern, so a pattern that is the tail of
// another ("ab" then "b") stays separate; empty pieces are no pattern. Text before the first bar (a
// value typed by hand without it) is a pattern too.
std::vector<std::string> ExclusionPatterns(std::string_view value);
// The value for the patterns; empty patterns are left out, so no patterns give an empty value.
std::string ExclusionValue(const std::vector<std::string>& patterns);
// The patterns as a run of a numbered query applies them: with stored paths the archive names carry
// the query folder, so each pattern gets the folder ("data", with its '\') in front.
std::vector<std::string> ExclusionsForRun(const std::vector<std::string>& patterns,
                                          std::string_view dataFolder, bool storePaths);

}  // namespace vpk
