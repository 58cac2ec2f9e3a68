#include "platform/profile_file.h"

#include <optional>

#include "platform/platform_error.h"
#include "platform/profile_document.h"
#include "platform/profile_edit.h"
#include "platform/text_codec.h"

namespace vpk::profile {

namespace {

std::string Quoted(std::string_view file) {
    return "\"" + std::string(file) + "\"";
}

std::string CutToMaxLength(std::string_view value) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        // Count lead bytes only, so a multi-byte character is never split.
        if ((static_cast<unsigned char>(value[i]) & 0xC0) != 0x80 && ++chars > kMaxValueLength) {
            return std::string(value.substr(0, i));
        }
    }
    return std::string(value);
}

bool IsQuoted(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// A text read back loses one pair of enclosing quotes, as the system's profile calls do; that is the
// only way a value can keep blanks at its ends.
std::string_view Unquoted(std::string_view value) {
    return IsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

// Blanks at the ends (or quotes that would be taken off) survive the round trip inside a pair of quotes.
std::string StoredForm(std::string_view value) {
    const bool blankAtEnd = !value.empty() && (std::string_view(" \t").find(value.front()) != std::string_view::npos ||
                                               std::string_view(" \t").find(value.back()) != std::string_view::npos);
    if (blankAtEnd || IsQuoted(value)) return "\"" + std::string(value) + "\"";
    return std::string(value);
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    const std::uint64_t limit =
        base == 16 ? UINT64_MAX : static_cast<std::uint64_t>(INT64_MAX) + (negative ? 1 : 0);
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        if (value > (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base))
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    if (negative) return static_cast<std::int64_t>(0 - value);
    return static_cast<std::int64_t>(value);
}

// A name or value holding a line break would add lines of its own to the file (a key, a section), and
// a key holding '=' or a section holding ']' would read back as something else: refuse them.
void CheckWritable(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view value) {
    auto fail = [&](const std::string& why) {
        throw PlatformError("cannot write to " + Quoted(file) + ": " + why);
    };
    const auto hasBreak = [](std::string_view s) {
        return s.find_first_of("\r\n") != std::string_view::npos;
    };
    if (section.find_first_not_of(" \t") == std::string_view::npos) fail("empty section name");
    if (hasBreak(section) || section.find(']') != std::string_view::npos) {
        fail("section name \"" + std::string(section) + "\" holds a line break or ']'");
    }
    const std::size_t first = key.find_first_not_of(" \t");
    if (first == std::string_view::npos) fail("empty key name");
    if (hasBreak(key) || key.find('=') != std::string_view::npos || key[first] == '[' || key[first] == ';') {
        fail("key name \"" + std::string(key) + "\" holds a line break, '=' or starts with '[' or ';'");
    }
    if (hasBreak(value)) fail("the value of key \"" + std::string(key) + "\" holds a line break");
}

}  // namespace

std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
    std::string value;
    if (!ReadProfileValue(file, section, key, value)) return CutToMaxLength(defaultValue);
    return CutToMaxLength(Unquoted(value));
}

std::int64_t ReadInteger(std::string_view file, std::string_view section, std::string_view key,
                         std::int64_t defaultValue) {
    std::string value;
    if (!ReadProfileValue(file, section, key, value)) return defaultValue;
    return ParseNumber(CutToMaxLength(value)).value_or(defaultValue);
}

bool ReadFlag(std::string_view file, std::string_view section, std::string_view key, bool defaultValue) {
    std::string value;
    if (!ReadProfileValue(file, section, key, value)) return defaultValue;
    const auto number = ParseNumber(CutToMaxLength(value));
    return number ? *number != 0 : defaultValue;
}

void WriteString(std::string_view file, std::string_view section, std::string_view key,
                 std::string_view value) {
    CheckWritable(file, section, key, value);
    EditProfileFile(file, [&](ProfileDocument& doc) {
        doc.SetValue(section, key, StoredForm(value));
        return true;
    });
}

void WriteInteger(std::string_view file, std::string_view section, std::string_view key, std::int64_t value) {
    WriteString(file, section, key, std::to_string(value));
}

void WriteFlag(std::string_view file, std::string_view section, std::string_view key, bool value) {
    WriteString(file, section, key, value ? "1" : "0");
}

std::vector<std::string> ReadKeys(std::string_view file, std::string_view section) {
    std::vector<std::string> keys = ReadProfileFile(file).Keys(section);
    // Each name takes its length plus a zero byte; the list ends with a second zero.
    std::size_t used = 1;
    std::size_t fitting = 0;
    while (fitting < keys.size() && used + keys[fitting].size() + 1 <= kKeyListBytes) {
        used += keys[fitting].size() + 1;
        ++fitting;
    }
    keys.resize(fitting);
    return keys;
}

std::vector<std::string> ReadSections(std::string_view file) {
    return ReadProfileFile(file).Sections();
}

bool SectionExists(std::string_view file, std::string_view section) {
    return ReadProfileFile(file).HasSection(section);
}

void EraseSection(std::string_view file, std::string_view section) {
    EditProfileFile(file, [&](ProfileDocument& doc) { return doc.EraseSection(section); });
}

void DeleteKey(std::string_view file, std::string_view section, std::string_view key) {
    EditProfileFile(file, [&](ProfileDocument& doc) { return doc.DeleteKey(section, key); });
}

}  // namespace vpk::profile
