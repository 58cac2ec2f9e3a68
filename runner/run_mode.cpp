#include "runner/run_mode.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace vpk {

namespace {

std::string AsciiUpper(std::string_view s) {
    std::string upper(s);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

}  // namespace

RunMode ClassifyFirstArgument(bool hasArgument, std::string_view argument) {
    if (!hasArgument) return RunMode::Interactive;
    const std::string upper = AsciiUpper(argument);
    if (upper.find(".ZIP") != std::string::npos) return RunMode::Viewer;
    if (argument == "_REST_A") return RunMode::Restore;
    if (upper == "TOUS") return RunMode::AllQueries;
    // An empty argument is all digits by the shared rule, but names no section: treat it as unknown.
    if (!argument.empty() &&
        std::all_of(argument.begin(), argument.end(), [](unsigned char c) { return c >= '0' && c <= '9'; })) {
        return RunMode::NumberedQuery;
    }
    if (upper.find(".VPK") != std::string::npos) return RunMode::QueryFile;
    return RunMode::Unrecognised;
}

const char* RunModeName(RunMode mode) {
    switch (mode) {
        case RunMode::Interactive:
            return "interactive mode";
        case RunMode::Viewer:
            return "archive viewer";
        case RunMode::Restore:
            return "restore window";
        case RunMode::AllQueries:
            return "all-queries run";
        case RunMode::NumberedQuery:
            return "numbered-query run";
        case RunMode::QueryFile:
            return "query-file run";
        case RunMode::Unrecognised:
            return "unrecognised argument";
    }
    return "";
}

}  // namespace vpk
