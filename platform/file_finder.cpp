#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/text_codec.h"

namespace vpk {

FileFinder::FileFinder(std::string_view spec, std::uint32_t attributeMask) {
    const std::size_t cut = spec.find_last_of("\\/");
    std::string folder;
    std::string_view pattern;
    if (cut != std::string_view::npos) {
        folder = std::string(spec.substr(0, cut + 1));
        pattern = spec.substr(cut + 1);
    } else if (spec.size() >= 2 && spec[1] == ':') {
        folder = std::string(spec.substr(0, 2));
        pattern = spec.substr(2);
    } else {
        folder = Fs().CurrentFolder();
        pattern = spec;
    }
    const auto host = Fs().ToHost(folder);
    if (!host) return;
    DIR* dir = ::opendir(host->c_str());
    if (!dir) return;
    folderFound_ = true;
    // Entries whose hidden, system or directory bit the mask does not ask for are left out.
    const std::uint32_t excluded =
        ~attributeMask & (kAttrHidden | kAttrSystem | kAttrDirectory | kAttrVolume);
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == ".." || pattern.empty() || !WildcardMatch(pattern, name)) continue;
        const std::string path = (*host == "/" ? "/" : *host + "/") + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) continue;
        FindEntry entry;
        entry.name = name;
        entry.attributes = host::AttributesOf(path, st);
        if (entry.attributes & excluded) continue;
        entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
        entry.mtime = st.st_mtim.tv_sec;
        entry.dosDateTime = DosDateTimeFromUnix(entry.mtime);
        entries_.push_back(std::move(entry));
    }
    ::closedir(dir);
    // The host lists in no particular order; a stable, case-blind order keeps runs repeatable.
    std::sort(entries_.begin(), entries_.end(), [](const FindEntry& a, const FindEntry& b) {
        const int c = CompareText(a.name, b.name);
        return c != 0 ? c < 0 : a.name < b.name;
    });
}

bool FileFinder::Next(FindEntry& entry) {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
}

}  // namespace vpk
