#include "engine/library_binding.h"

#include "engine/zip_messages.h"
#include "platform/dynamic_library.h"
#include "platform/file_system.h"
#include "platform/program_paths.h"

namespace vpk {

namespace {

struct LibraryNames {
    const char* file;
    const char* execName;
    const char* versionName;
    int loaded, execMissing, versionMissing, notFound;
};

const LibraryNames& NamesOf(EngineLibrary which) {
    static const LibraryNames kZip{kZipLibraryName,         kZipExecName,
                                   kGetZipVersionName,      zipmsg::kZipLoaded,
                                   zipmsg::kZipExecMissing, zipmsg::kZipVersionMissing,
                                   zipmsg::kZipNotFound};
    static const LibraryNames kUnz{kUnzLibraryName,         kUnzExecName,
                                   kGetUnzVersionName,      zipmsg::kUnzLoaded,
                                   zipmsg::kUnzExecMissing, zipmsg::kUnzVersionMissing,
                                   zipmsg::kUnzNotFound};
    return which == EngineLibrary::Zip ? kZip : kUnz;
}

struct Module {
    DynamicLibrary library;
    void* exec = nullptr;
    void* version = nullptr;
};

Module& ModuleOf(EngineLibrary which) {
    static Module zipModule;
    static Module unzModule;
    return which == EngineLibrary::Zip ? zipModule : unzModule;
}

bool HostFileExists(const std::string& hostPath) {
    auto info = Fs().Stat(hostPath);
    return info && (info->attributes & kAttrDirectory) == 0;
}

}  // namespace

std::string LibraryHostPath(EngineLibrary which, const std::string& dllDirectory) {
    const std::string file = NamesOf(which).file;
    if (!dllDirectory.empty()) {
        if (auto host = Fs().ToHost(dllDirectory)) {
            std::string candidate = *host + "/" + file;
            if (HostFileExists(candidate)) return candidate;
        }
    }
    // Never the system's search path: only the installation's own libraries may run.
    return ProgramFolderHost() + "/" + file;
}

LibraryLease::LibraryLease(EngineLibrary which, const std::string& dllDirectory, bool trace,
                           const LibraryReport& report)
    : which_(which) {
    const LibraryNames& names = NamesOf(which);
    Module& module = ModuleOf(which);
    if (!module.library.IsLoaded()) {
        const std::string path = LibraryHostPath(which, dllDirectory);
        if (!module.library.Load(path)) {
            report(names.notFound, "\n" + module.library.Error());
            return;
        }
        loadedHere_ = true;
        if (trace) report(names.loaded, {});
        module.exec = module.library.Symbol(names.execName);
        module.version = module.library.Symbol(names.versionName);
    }
    if (!module.exec || !module.version) {
        if (!module.exec) report(names.execMissing, {});
        if (!module.version) report(names.versionMissing, {});
        if (loadedHere_) {
            module.library.Unload();
            module.exec = module.version = nullptr;
            loadedHere_ = false;
        }
        return;
    }
    ok_ = true;
}

LibraryLease::~LibraryLease() {
    if (!loadedHere_) return;
    Module& module = ModuleOf(which_);
    module.library.Unload();
    module.exec = module.version = nullptr;
}

std::int32_t LibraryLease::Version() const {
    return which_ == EngineLibrary::Zip ? reinterpret_cast<GetZipVersionFn>(ModuleOf(which_).version)()
                                        : reinterpret_cast<GetUnzVersionFn>(ModuleOf(which_).version)();
}

std::int32_t LibraryLease::ZipExec(ZipCommand* command) const {
    return reinterpret_cast<ZipExecFn>(ModuleOf(EngineLibrary::Zip).exec)(command);
}

std::int32_t LibraryLease::UnzExec(UnzipCommand* command) const {
    return reinterpret_cast<UnzExecFn>(ModuleOf(EngineLibrary::Unzip).exec)(command);
}

bool LibraryLease::IsLoaded(EngineLibrary which) {
    return ModuleOf(which).library.IsLoaded();
}

}  // namespace vpk
