#include "split/file_selection.h"

#include <filesystem>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace vpk::split {

namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The host folder with links resolved, so a link back up the tree is not walked again.
std::string CanonicalHostFolder(const std::string& folder) {
    const auto host = Fs().ToHost(folder);
    if (!host) return folder;
    std::error_code ec;
    auto canonical = std::filesystem::canonical(*host, ec);
    return ec ? *host : canonical.string();
}

}  // namespace

FileSelection::FileSelection(std::string_view containerName, bool incrementalOnly)
    : container_(LowerCase(Fs().FullPath(containerName))), incrementalOnly_(incrementalOnly) {}

bool FileSelection::SplitRecursiveSwitch(std::string_view specification, std::string* rest) {
    std::string_view text = Trim(specification);
    const bool endsWithSwitch = text.size() >= 2 && text.substr(text.size() - 2) == "/s";
    if (endsWithSwitch) {
        std::string_view before = text.substr(0, text.size() - 2);
        const bool setOff = !before.empty() && (before.back() == ' ' || before.back() == '\t');
        if (setOff || before.find('/') == std::string_view::npos) {
            *rest = std::string(Trim(before));
            return true;
        }
    }
    *rest = std::string(text);
    return false;
}

void FileSelection::Add(std::string_view specification) {
    std::string path;
    const bool recursive = SplitRecursiveSwitch(LowerCase(specification), &path);
    if (path.empty()) return;
    const std::string full = LowerCase(Fs().FullPath(path));
    if (full.empty()) return;
    const auto cut = full.find_last_of("\\/");
    if (cut == std::string::npos) return;
    std::string folder = full.substr(0, cut + 1);
    std::string mask = full.substr(cut + 1);
    if (mask.empty()) mask = "*.*";
    std::set<std::string> foldersOnPath;
    AddFolder(folder, mask, recursive, foldersOnPath);
}

void FileSelection::AddFolder(const std::string& folder, const std::string& mask, bool recursive,
                              std::set<std::string>& foldersOnPath) {
    if (recursive) {
        const std::string canonical = CanonicalHostFolder(folder);
        if (!foldersOnPath.insert(canonical).second) return;
        FileFinder subfolders(folder + "*.*", kAttrDirectory);
        FindEntry entry;
        while (subfolders.Next(entry)) {
            if ((entry.attributes & kAttrDirectory) == 0) continue;
            if ((entry.attributes & (kAttrHidden | kAttrSystem)) != 0) continue;
            if (entry.name == "." || entry.name == "..") continue;
            AddFolder(folder + LowerCase(entry.name) + "\\", mask, true, foldersOnPath);
        }
        foldersOnPath.erase(canonical);
    }
    FileFinder files(folder + mask, kAttrHidden | kAttrSystem | kAttrReadOnly | kAttrArchive);
    FindEntry entry;
    while (files.Next(entry)) {
        if ((entry.attributes & kAttrDirectory) != 0) continue;
        Take(folder + LowerCase(entry.name), entry.attributes);
    }
}

void FileSelection::Take(const std::string& name, unsigned attributes) {
    if (name == container_) return;
    if (incrementalOnly_ && (attributes & kAttrArchive) == 0) return;
    if (!taken_.insert(name).second) return;
    files_.push_back(name);
}

}  // namespace vpk::split
