#pragma once
// Text-field routines shared by both programs. Separators are whole strings found from the left,
// matching case; an empty separator never occurs. Positions are byte positions of the UTF-8 text,
// which is what the single-byte originals of these values need (every separator used is ASCII).
#include <string>
#include <string_view>

namespace vpk {

std::string AfterFirst(std::string_view sep, std::string_view s);   // empty when sep does not occur
std::string AfterLast(std::string_view sep, std::string_view s);    // empty when sep does not occur
std::string BeforeFirst(std::string_view sep, std::string_view s);  // empty when sep does not occur
int CountOf(std::string_view sep, std::string_view s);              // non-overlapping occurrences
// Field n (from 0) of s with sep appended: FieldOf("|", "|a|b", 1) is "a". Empty past the last field.
std::string FieldOf(std::string_view sep, std::string_view s, int n);
std::string DirOf(std::string_view s);  // text before the last '\'; empty when there is none
// The file name of path up to its first '.'; the whole file name when it has none.
std::string NameWithoutExtension(std::string_view path);
bool IsAllDigits(std::string_view s);  // also true for an empty s

}  // namespace vpk
