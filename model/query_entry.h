#pragma once
// Include and exclude entries of a query file: a file path, or a folder followed by a mask, an
// include entry optionally ended by "<>" and two flag digits (store paths, include sub-folders).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

struct EntryFlags {
    bool storePaths = true;
    bool subDirs = true;
    bool operator==(const EntryFlags&) const = default;
};

// The text before "<>" (the whole entry when it has no flags).
std::string EntryVisibleName(std::string_view entry);
// The entry's own flags; nullopt without "<>". A digit that is missing keeps the flag of fallback.
std::optional<EntryFlags> EntryOwnFlags(std::string_view entry, EntryFlags fallback);
// name + "<>" + the two digits.
std::string WithEntryFlags(std::string_view name, EntryFlags flags);

struct ResolvedEntry {
    std::string path;  // the visible name
    EntryFlags flags;
};
// Every entry with the flags it is saved with: its own, else those in force before it (the last
// flagged entry, or initial at the start: "storepath" and "subdir" of the query).
std::vector<ResolvedEntry> ResolveEntryFlags(const std::vector<std::string>& entries, EntryFlags initial);

// The full entries of a stored list: a value holding ':' is absolute and kept as it is, any other one
// is completed from the application folder by ExpandEntryPath.
std::vector<std::string> FullEntries(const std::vector<std::string>& stored,
                                     std::string_view applicationFolder);

}  // namespace vpk
