#include "engine/zip_host_binding.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "platform/program_paths.h"

namespace vpk::zip {

namespace {

// True when this code is a shared library of its own, not linked into the program (as the
// self-extractor links it): only then can there be a second platform layer to set up.
bool InSharedLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&BindHostPlatform), &info) == 0 || info.dli_fname == nullptr) return false;
    char library[PATH_MAX];
    char program[PATH_MAX];
    if (realpath(info.dli_fname, library) == nullptr) return false;
    const ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
    if (n <= 0) return false;
    program[n] = '\0';
    return std::string(library) != program;
}

}  // namespace

void BindHostPlatform() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The mangled name of FileSystem::Instance(): found in the global scope only when the host
        // program exports its platform layer, in which case every call already goes to the host's.
        if (InSharedLibrary() && dlsym(RTLD_DEFAULT, "_ZN3vpk10FileSystem8InstanceEv") == nullptr) {
            LoadProgramDriveTable();
        }
    });
}

}  // namespace vpk::zip
