#include "model/profile_section.h"

#include <algorithm>
#include <limits>

#include "platform/profile_file.h"

namespace vpk {

namespace {

// No stored value can hold this: profile values are one line of text without control characters.
constexpr std::string_view kMissing = "\x01\x02";

}  // namespace

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
    // Every write rewrites the whole file and syncs it; a value that is already there costs a read.
    if (profile::ReadString(file_, section_, key, kMissing) == value) return;
    profile::WriteString(file_, section_, key, value);
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
