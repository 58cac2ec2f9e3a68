#include "engine/sfx_stub_locator.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/program_paths.h"

namespace vpk {

namespace {

std::string InFolder(std::string folder, const char* name) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder + name;
}

}  // namespace

std::string FindSfxStub(const std::string& sfxPath, const std::string& dllDirectory) {
    std::vector<std::string> candidates;
    if (!sfxPath.empty()) candidates.push_back(sfxPath);
    candidates.push_back(InFolder(Fs().CurrentFolder(), kSfxStubFileName));
    candidates.push_back(InFolder(ProgramFolderVirtual(), kSfxStubFileName));
    if (!dllDirectory.empty()) candidates.push_back(InFolder(dllDirectory, kSfxStubFileName));
    for (const std::string& path : candidates)
        if (Fs().FileExists(path)) return path;
    return {};
}

}  // namespace vpk
