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

}  // namespace vpk
