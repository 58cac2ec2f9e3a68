#include "runner/file_search.h"

#include <climits>
#include <cstdlib>

#include <algorithm>

#include "model/path_routines.h"
#include "model/text_fields.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"

namespace vpk {

namespace {

constexpr int kMaxDepth = 64;

bool IsHostSystemTree(const std::string& host) {
    for (const char* tree : {"/proc", "/sys", "/dev", "/run"}) {
        const std::string t = tree;
        if (host == t || host.rfind(t + "/", 0) == 0) return true;
    }
    return false;
}

std::string RealHostPath(const std::string& virtualFolder) {
    const auto host = Fs().ToHost(virtualFolder);
    if (!host) return {};
    char resolved[PATH_MAX];
    if (!::realpath(host->c_str(), resolved)) return {};
    return resolved;
}

}  // namespace

void TFileSearch::Execute(const std::string& root) {
    Stop = false;
    std::vector<std::string> names;
    std::string rest = FileName;
    while (!rest.empty()) {
        const std::size_t semi = rest.find(';');
        std::string part = rest.substr(0, semi);
        rest = semi == std::string::npos ? std::string() : rest.substr(semi + 1);
        // The walk starts at root: of each pattern only its name part matters.
        const std::size_t slash = part.rfind('\\');
        if (slash != std::string::npos) part = part.substr(slash + 1);
        if (!part.empty()) names.push_back(part);
    }
    if (names.empty()) return;
    Walk(AddBackslash(root), names, 0);
}

void TFileSearch::Walk(const std::string& folder, const std::vector<std::string>& names, int depth) {
    if (Stop || depth > kMaxDepth) return;
    const std::string real = RealHostPath(folder);
    if (real.empty() || IsHostSystemTree(real)) return;
    if (std::find(visited_.begin(), visited_.end(), real) != visited_.end()) return;
    visited_.push_back(real);
    if (OnChangeFolder) OnChangeFolder(folder);

    std::vector<std::string> subFolders;
    FileFinder finder(folder + "*.*", kAttrAnyFile);
    FindEntry entry;
    while (!Stop && finder.Next(entry)) {
        ProcessPendingEvents();
        const bool isFolder = (entry.attributes & kAttrDirectory) != 0;
        for (const auto& name : names) {
            if (WildcardMatch(name, entry.name)) {
                const std::string path = folder + entry.name;
                found_.push_back(path);
                if (OnFileFind) OnFileFind(path);
                break;
            }
        }
        if (isFolder && RecurseSubFolders) subFolders.push_back(folder + entry.name + "\\");
    }
    for (const auto& sub : subFolders) Walk(sub, names, depth + 1);
}

}  // namespace vpk
