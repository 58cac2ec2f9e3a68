#include "model/query_entry.h"

#include "model/path_routines.h"

namespace vpk {

namespace {

constexpr std::string_view kFlagMark = "<>";

}  // namespace

std::string EntryVisibleName(std::string_view entry) {
    return std::string(entry.substr(0, entry.find(kFlagMark)));
}

std::optional<EntryFlags> EntryOwnFlags(std::string_view entry, EntryFlags fallback) {
    const auto mark = entry.find(kFlagMark);
    if (mark == std::string_view::npos) return std::nullopt;
    const std::string_view digits = entry.substr(mark + kFlagMark.size());
    EntryFlags flags = fallback;
    if (digits.size() >= 1) flags.storePaths = digits[0] == '1';
    if (digits.size() >= 2) flags.subDirs = digits[1] == '1';
    return flags;
}

std::string WithEntryFlags(std::string_view name, EntryFlags flags) {
    return std::string(name) + std::string(kFlagMark) + (flags.storePaths ? "1" : "0") +
           (flags.subDirs ? "1" : "0");
}

std::vector<ResolvedEntry> ResolveEntryFlags(const std::vector<std::string>& entries, EntryFlags initial) {
    std::vector<ResolvedEntry> resolved;
    resolved.reserve(entries.size());
    EntryFlags inForce = initial;
    for (const std::string& entry : entries) {
        if (auto own = EntryOwnFlags(entry, inForce)) inForce = *own;
        resolved.push_back({EntryVisibleName(entry), inForce});
    }
    return resolved;
}

std::vector<std::string> FullEntries(const std::vector<std::string>& stored,
                                     std::string_view applicationFolder) {
    std::vector<std::string> full;
    full.reserve(stored.size());
    for (const std::string& value : stored)
        full.push_back(value.find(':') != std::string::npos ? value
                                                            : ExpandEntryPath(applicationFolder, value));
    return full;
}

}  // namespace vpk
