#pragma once
// A shared library loaded at run time (dlopen), unloaded on destruction.
#include <string>

namespace vpk {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool Load(const std::string& hostPath);  // false with Error() set
    void Unload();
    bool IsLoaded() const { return handle_ != nullptr; }
    void* Symbol(const char* name) const;    // nullptr when missing
    const std::string& Error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace vpk
