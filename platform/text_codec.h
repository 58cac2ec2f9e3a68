#pragma once
// Text conversions between UTF-8 (every string in memory) and the single-byte code pages the system
// meets in files written on Windows: Windows-1252 for settings and logs, OEM 437/850 for ZIP names.
// Case rules cover ASCII and the accented Latin letters of Windows-1252 ("é" upper-cases to "É").
#include <string>
#include <string_view>

namespace vpk {

bool IsValidUtf8(std::string_view bytes);

// Windows-1252 bytes to UTF-8. Bytes undefined in 1252 (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to U+0081… so
// the round trip keeps them.
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1252. A character without a 1252 form becomes '?' and clears *lossless when given.
std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

// OEM code pages 437 and 850 (the only ones accepted; others are treated as 437).
std::string OemToUtf8(std::string_view bytes, int codePage);
// *fits is cleared when a character has no form in the code page ('?' is written for it).
std::string Utf8ToOem(std::string_view text, int codePage, bool* fits = nullptr);

// A file read from disk: as is when valid UTF-8 (a UTF-8 byte-order mark is dropped), else as 1252.
std::string DecodeFileText(std::string bytes);  // reuses the buffer when it is UTF-8 already

// Case-blind comparison and upper/lower case of UTF-8 text, ASCII and Latin-1 letters included.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, comparing the upper-cased forms.
int CompareText(std::string_view a, std::string_view b);

}  // namespace vpk
