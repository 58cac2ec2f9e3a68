#include "platform/profile_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/profile_document.h"
#include "platform/text_codec.h"

namespace vpk::profile {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string Quoted(std::string_view file) {
    return "\"" + std::string(file) + "\"";
}

std::optional<std::string> HostOf(std::string_view file) {
    return Fs().ToHost(file);
}

// The document as on disk now; empty when the file is missing or cannot be read (reads only).
ProfileDocument LoadForRead(std::string_view file) {
    const auto host = HostOf(file);
    std::string bytes;
    if (!host || !ReadWholeFile(*host, bytes)) return ProfileDocument{};
    return ProfileDocument{DecodeFileText(bytes)};
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

// Loads the file for a change, applies edit and writes the result back when edit reports a change.
// Everything that could refuse the write is checked before anything is written.
template <typename Edit>
void Modify(std::string_view file, Edit edit) {
    const auto host = HostOf(file);
    if (!host) throw PlatformError("cannot write to " + Quoted(file) + ": the drive is not mapped");
    struct stat st {};
    std::string bytes;
    std::string refusal;  // why the file cannot take a write; raised only when there is a change to write
    bool exists = false;
    if (::stat(host->c_str(), &st) == 0) {
        exists = true;
        if (S_ISDIR(st.st_mode)) {
            refusal = "it is a folder";
        } else if (!S_ISREG(st.st_mode)) {
            refusal = "not a regular file";
        } else if (!(st.st_mode & S_IWUSR)) {
            refusal = "the file is read-only";
        }
        if (S_ISREG(st.st_mode) && !ReadWholeFile(*host, bytes)) {
            throw PlatformError("cannot read " + Quoted(file) + ": " + std::strerror(errno));
        }
    } else if (errno != ENOENT) {
        refusal = std::strerror(errno);
    }
    const bool utf8 = IsValidUtf8(bytes);
    const bool bom = utf8 && std::string_view(bytes).substr(0, 3) == kBom;
    ProfileDocument doc(DecodeFileText(bytes));
    if (!edit(doc)) return;
    if (!refusal.empty()) throw PlatformError("cannot write to " + Quoted(file) + ": " + refusal);
    const std::string text = doc.Text();
    std::string out;
    bool lossless = false;
    if (exists && !utf8) out = Utf8ToCp1252(text, &lossless);
    if (!lossless) {
        // A Windows-1252 file keeps its encoding while the new text fits in it; otherwise the whole file
        // becomes UTF-8 rather than a mixture no reader could decode.
        out = bom ? std::string(kBom) + text : text;
    }
    try {
        WriteFileAtomically(*host, out);
    } catch (const PlatformError& e) {
        throw PlatformError("cannot write to " + Quoted(file) + ": " + e.what());
    }
}

}  // namespace

std::string ReadString(std::string_view file, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
    std::string value;
    if (!LoadForRead(file).FindValue(section, key, value)) return CutToMaxLength(defaultValue);
    return CutToMaxLength(value);
}

std::int64_t ReadInteger(std::string_view file, std::string_view section, std::string_view key,
                         std::int64_t defaultValue) {
    std::string value;
    if (!LoadForRead(file).FindValue(section, key, value)) return defaultValue;
    return ParseNumber(CutToMaxLength(value)).value_or(defaultValue);
}

bool ReadFlag(std::string_view file, std::string_view section, std::string_view key, bool defaultValue) {
    std::string value;
    if (!LoadForRead(file).FindValue(section, key, value)) return defaultValue;
    const auto number = ParseNumber(CutToMaxLength(value));
    return number ? *number != 0 : defaultValue;
}

void WriteString(std::string_view file, std::string_view section, std::string_view key,
                 std::string_view value) {
    CheckWritable(file, section, key, value);
    Modify(file, [&](ProfileDocument& doc) {
        doc.SetValue(section, key, value);
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
    std::vector<std::string> keys = LoadForRead(file).Keys(section);
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
    return LoadForRead(file).Sections();
}

bool SectionExists(std::string_view file, std::string_view section) {
    return LoadForRead(file).HasSection(section);
}

void EraseSection(std::string_view file, std::string_view section) {
    Modify(file, [&](ProfileDocument& doc) { return doc.EraseSection(section); });
}

void DeleteKey(std::string_view file, std::string_view section, std::string_view key) {
    Modify(file, [&](ProfileDocument& doc) { return doc.DeleteKey(section, key); });
}

}  // namespace vpk::profile
