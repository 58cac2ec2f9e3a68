#include "engine/ziplib/source_collector.h"

#include <algorithm>
#include <unordered_set>

#include "engine/zip_names.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace vpk::zip {
namespace {

// Sub-folder recursion stops here: a link loop must not hang the backup.
constexpr int kMaxDepth = 64;

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

std::string DosComponent(const std::string& component) {
    std::string upper = UpperCase(component);
    const auto dot = upper.rfind('.');
    std::string base = dot == std::string::npos ? upper : upper.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : upper.substr(dot + 1);
    std::erase(base, ' ');
    std::erase(base, '.');
    base = base.substr(0, 8);
    ext = ext.substr(0, 3);
    return ext.empty() ? base : base + "." + ext;
}

}  // namespace

std::string DosName(const std::string& name) {
    std::string out;
    std::size_t start = 0;
    while (start <= name.size()) {
        const auto end = name.find('/', start);
        const std::string component =
            name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        out += DosComponent(component);
        if (end == std::string::npos) break;
        out += '/';
        start = end + 1;
    }
    return out;
}

bool SourceCollector::Excluded(const std::string& path, const std::string& name) const {
    for (const auto& exclusion : options_.exclusions) {
        if (exclusion.empty()) continue;
        // A bare mask matches the file name anywhere, one with a folder the whole path.
        const bool withFolder = exclusion.find_first_of("\\/") != std::string::npos;
        if (EntryNameMatches(exclusion, withFolder ? path : name)) return true;
        if (withFolder && EntryNameMatches("*\\" + exclusion, path)) return true;
    }
    return false;
}

void SourceCollector::Add(SourceFile file) {
    if (options_.forceDos) file.entryName = DosName(file.entryName);
    if (!seen_.insert(UpperCase(file.entryName)).second) return;
    files_.push_back(std::move(file));
}

void SourceCollector::ScanFolder(const std::string& folder, const std::string& mask,
                                 const std::string& namePrefix, bool& found, int depth) {
    const std::uint32_t hiddenMask = options_.hidden ? (kAttrHidden | kAttrSystem) : 0;
    // One listing serves the files (by mask) and the sub-folders (all of them): every entry costs one
    // look at the disk.
    std::vector<FindEntry> entries;
    {
        FileFinder finder(Join(folder, "*.*"), kAttrDirectory | kAttrReadOnly | kAttrArchive | hiddenMask);
        FindEntry entry;
        while (finder.Next(entry)) entries.push_back(std::move(entry));
    }
    const bool everyName = mask == "*.*" || mask == "*";
    const std::string hostFolder = Fs().ToHost(folder).value_or(std::string());
    auto hostPathOf = [&](const std::string& name) {
        if (hostFolder.empty()) return std::string();
        return hostFolder.back() == '/' ? hostFolder + name : hostFolder + "/" + name;
    };
    for (auto& entry : entries) {
        if (entry.attributes & kAttrDirectory) continue;
        if (!everyName && !WildcardMatch(mask, entry.name)) continue;
        const std::string path = Join(folder, entry.name);
        if (!options_.skipPath.empty() && SameText(path, options_.skipPath)) continue;
        if (Excluded(path, entry.name)) continue;
        if (options_.archiveOnly && !(entry.attributes & kAttrArchive)) continue;
        found = true;
        SourceFile file;
        file.path = path;
        file.hostPath = hostPathOf(entry.name);
        file.entryName = options_.dirNames ? namePrefix + entry.name : entry.name;
        file.size = entry.size;
        file.dosDateTime = entry.dosDateTime;
        file.attributes = entry.attributes;
        Add(std::move(file));
    }
    if (!options_.recurse || depth >= kMaxDepth) return;
    for (auto& entry : entries) {
        if (!(entry.attributes & kAttrDirectory)) continue;
        const std::string path = Join(folder, entry.name);
        if (Excluded(path, entry.name)) continue;
        const std::string prefix = namePrefix + entry.name + "/";
        if (options_.folderEntries && options_.dirNames) {
            SourceFile dir;
            dir.path = path;
            dir.entryName = prefix;
            dir.dosDateTime = entry.dosDateTime;
            dir.attributes = entry.attributes;
            dir.isFolder = true;
            Add(std::move(dir));
        }
        ScanFolder(path, mask, prefix, found, depth + 1);
    }
}

bool SourceCollector::AddSpec(const std::string& rawSpec) {
    // A host path ("/srv/data/*.txt") is taken in its virtual form.
    std::string spec = rawSpec.starts_with("/") ? Fs().FullPath(rawSpec) : rawSpec;
    std::replace(spec.begin(), spec.end(), '/', '\\');
    const bool relative = !(spec.size() >= 2 && spec[1] == ':') && !(spec.starts_with("\\"));
    const std::string full = Fs().FullPath(spec);
    if (full.empty()) return false;
    std::string folder, mask;
    if (!HasWildcard(full) && Fs().FolderExists(full)) {
        folder = full;
        mask = "*.*";
    } else {
        const auto cut = full.rfind('\\');
        folder = full.substr(0, cut == std::string::npos ? 0 : cut);
        mask = full.substr(cut == std::string::npos ? 0 : cut + 1);
        if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    }
    // Entry names: a relative specification keeps its folder part as given; an absolute one stores the
    // path without the drive.
    std::string prefix;
    if (relative) {
        const auto cut = spec.rfind('\\');
        if (!HasWildcard(spec) && Fs().FolderExists(full))
            prefix = spec + "\\";
        else if (cut != std::string::npos)
            prefix = spec.substr(0, cut + 1);
    } else {
        const std::string withSlash = folder.back() == '\\' ? folder : folder + "\\";
        prefix = withSlash.substr(withSlash.find('\\') + 1);
    }
    while (prefix.starts_with(".\\")) prefix.erase(0, 2);
    std::replace(prefix.begin(), prefix.end(), '\\', '/');
    while (prefix.starts_with("/")) prefix.erase(0, 1);
    bool found = false;
    ScanFolder(folder, mask, prefix, found, 0);
    return found;
}

}  // namespace vpk::zip
