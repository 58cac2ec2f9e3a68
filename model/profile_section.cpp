#include "model/profile_section.h"

#include <algorithm>
#include <limits>

#include "platform/profile_file.h"

namespace vpk {

namespace {

// No stored value can hold this: profile values are one line of text without control characters.
constexpr std::string_view kMissing = "\x01\x02";

}  // namespace

std::string OneLine(std::string_view value) {
    // Breaks at the ends carry nothing; each break inside (CR LF, CR or LF) becomes one blank.
    const auto first = value.find_first_not_of("\r\n");
    if (first == std::string_view::npos) return {};
    value = value.substr(first, value.find_last_not_of("\r\n") - first + 1);
    std::string line;
    line.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\r' && value[i] != '\n')
            line += value[i];
        else if (!(value[i] == '\n' && i > 0 && value[i - 1] == '\r'))
            line += ' ';
    }
    return line;
}

EValueTooLong::EValueTooLong(std::string_view file, std::string_view section, std::string_view key,
                             std::size_t length)
    : std::runtime_error("The value of \"" + std::string(key) + "\" in section [" + std::string(section) +
                         "] of " + std::string(file) + " has " + std::to_string(length) +
                         " characters; at most " + std::to_string(profile::kMaxValueLength) +
                         " can be read back") {}

void ProfileSection::RequireReadable(std::string_view key, std::string_view value) const {
    const std::string line = OneLine(value);
    // Characters, not bytes, as the read counts them: UTF-8 lead bytes.
    const std::size_t length = static_cast<std::size_t>(std::count_if(
        line.begin(), line.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    if (length > profile::kMaxValueLength) throw EValueTooLong(file_, section_, key, length);
}

std::string ProfileSection::Text(std::string_view key, std::string_view defaultValue) const {
    return profile::ReadString(file_, section_, key, defaultValue);
}

bool ProfileSection::Flag(std::string_view key, bool defaultValue) const {
    return profile::ReadFlag(file_, section_, key, defaultValue);
}

int ProfileSection::Integer(std::string_view key, int defaultValue) const {
    const std::int64_t value = profile::ReadInteger(file_, section_, key, defaultValue);
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void ProfileSection::WriteText(std::string_view key, std::string_view value) const {
    const std::string line = OneLine(value);
    // Every write rewrites the whole file and syncs it; a value that is already there costs a read.
    if (profile::ReadString(file_, section_, key, kMissing) == line) return;
    profile::WriteString(file_, section_, key, line);
}

void ProfileSection::WriteFlag(std::string_view key, bool value) const {
    WriteText(key, value ? "1" : "0");
}

void ProfileSection::WriteInteger(std::string_view key, long long value) const {
    WriteText(key, std::to_string(value));
}

void ProfileSection::DeleteKey(std::string_view key) const {
    profile::DeleteKey(file_, section_, key);
}

}  // namespace vpk
