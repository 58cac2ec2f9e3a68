#pragma once
// How the backup program's first argument selects its run mode. Only the first argument decides;
// the tests are made in this order: ".ZIP" anywhere (upper-cased) → viewer; exactly "_REST_A"
// (case-sensitive) → restore; "TOUS" (upper-cased) → all queries; only digits → numbered query
// (section names keep their leading zeros: "007" is not "7"); ".VPK" anywhere → query file.
#include <string_view>

namespace vpk {

enum class RunMode { Interactive, Viewer, Restore, AllQueries, NumberedQuery, QueryFile, Unrecognised };

RunMode ClassifyFirstArgument(bool hasArgument, std::string_view argument);
const char* RunModeName(RunMode mode);

}  // namespace vpk
