#pragma once
// Entry names between the text the system works with (UTF-8, "\" separators on screen) and the bytes
// stored in an archive: OEM (code page 437) when every character fits, else UTF-8 with flag bit 11.
#include <cstdint>
#include <string>
#include <string_view>

namespace vpk::zip {

struct StoredName {
    std::string bytes;  // as written into the headers, "/" separators
    bool utf8 = false;  // flag bit 11 must be set
};

// name uses "/" or "\" separators; the stored form always uses "/".
StoredName EncodeEntryName(std::string_view name);

// Decodes stored name or comment bytes. With flag bit 11 the bytes are UTF-8; archives made on DOS,
// OS/2 or Windows hosts are OEM; other hosts wrote their own encoding, taken as UTF-8 when valid.
std::string DecodeEntryName(std::string_view bytes, std::uint16_t flags, std::uint8_t hostSystem);

// The Unicode path extra block (0x7075), when present and made for exactly these header bytes.
bool UnicodePathFromExtra(std::string_view extra, std::string_view headerName, std::string* name);

// Case-blind DOS wildcard match of an entry name against a specification: '*' any run of characters
// (separators included), '?' one character; "/" and "\" are the same separator.
bool EntryNameMatches(std::string_view spec, std::string_view name);

// "/" and "\" both become "\" (the form names are reported in).
std::string BackslashName(std::string_view name);

}  // namespace vpk::zip
