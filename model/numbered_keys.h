#pragma once
// Lists kept as keys "n0", "n1", ... of one section (history lists, the query-file schedule list).
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

// The non-empty values of the keys "n<number>" in the order of their numbers. A list edited by hand
// with a gap ("n0", "n2") keeps every entry; other keys ("last") are not part of the list.
std::vector<std::string> ReadNumberedValues(std::string_view file, std::string_view section);
// Erases the section and writes values as "n0", "n1", ... in order.
void WriteNumberedValues(std::string_view file, std::string_view section,
                         const std::vector<std::string>& values);
std::string NumberedKey(std::size_t index);

}  // namespace vpk
