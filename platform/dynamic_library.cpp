#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace vpk {

DynamicLibrary::~DynamicLibrary() {
    Unload();
}

bool DynamicLibrary::Load(const std::string& hostPath) {
    Unload();
    error_.clear();
    handle_ = ::dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = ::dlerror();
        error_ = why ? why : "cannot load " + hostPath;
        return false;
    }
    return true;
}

void DynamicLibrary::Unload() {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const {
    if (!handle_ || !name) return nullptr;
    ::dlerror();
    return ::dlsym(handle_, name);
}

}  // namespace vpk
