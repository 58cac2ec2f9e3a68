#pragma once
// Initialisation ("profile") files: vortipak.ini, query files, language files, the registry store.
//
// Contract, for every call:
//  - `file` is a virtual path ("C:\\VPK\\vortipak.ini") or a host path starting with "/"; it is resolved
//    through the file system on every call.
//  - Section and key names match without regard to case; blanks around names and values are ignored.
//  - A text read back loses one pair of enclosing quotes ("…" or '…'); a text written with blanks at its
//    ends, or that would lose quotes of its own, is written inside a pair, so every text round-trips.
//  - Every call reads the file from disk: no cache, so a change made by another program is seen.
//  - A value comes back cut to 1023 characters; a key list holds what fits in 8192 bytes (each name
//    plus one byte), later keys are not seen.
//  - A file that is not valid UTF-8 is read as Windows-1252; writes are UTF-8 and keep the file's line
//    endings (CR LF when the file has them).
//  - A write creates the file and the section when missing and leaves every other line byte for byte as
//    it was. A refused write raises PlatformError naming the file and changes nothing.
//  - Reads of a missing or unreadable file (a folder, no permission) give the default / empty lists.
// Not thread-safe against concurrent writers of the same file; the programs are single-threaded.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

namespace profile {

inline constexpr std::size_t kMaxValueLength = 1023;
inline constexpr std::size_t kKeyListBytes = 8192;

std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                       std::string_view defaultValue = {});
// Decimal, or hexadecimal after "0x"/"0X"; a missing or non-numeric value gives the default.
std::int64_t ReadInteger(std::string_view file, std::string_view section, std::string_view key,
                         std::int64_t defaultValue);
// Flags: any number other than 0 is set; missing or non-numeric gives the default.
bool ReadFlag(std::string_view file, std::string_view section, std::string_view key, bool defaultValue);

void WriteString(std::string_view file, std::string_view section, std::string_view key,
                 std::string_view value);
void WriteInteger(std::string_view file, std::string_view section, std::string_view key, std::int64_t value);
void WriteFlag(std::string_view file, std::string_view section, std::string_view key, bool value);

// Key names of a section in file order (the 8192-byte limit applies).
std::vector<std::string> ReadKeys(std::string_view file, std::string_view section);
// Section names in file order.
std::vector<std::string> ReadSections(std::string_view file);
bool SectionExists(std::string_view file, std::string_view section);

// Removes the section and all its keys; nothing when it is missing.
void EraseSection(std::string_view file, std::string_view section);
// Removes one key; nothing when it is missing.
void DeleteKey(std::string_view file, std::string_view section, std::string_view key);

}  // namespace profile

}  // namespace vpk
