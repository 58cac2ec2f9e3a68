#include "engine/zip_host_binding.h"

#include <dlfcn.h>

#include <mutex>

#include "platform/program_paths.h"

namespace vpk::zip {

void BindHostPlatform() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The mangled name of FileSystem::Instance(): found in the global scope only when the host
        // program exports its platform layer, in which case every call already goes to the host's.
        if (dlsym(RTLD_DEFAULT, "_ZN3vpk10FileSystem8InstanceEv") == nullptr) LoadProgramDriveTable();
    });
}

}  // namespace vpk::zip
