#pragma once
// Run-time binding of the zip and unzip libraries. One module per library serves the whole process
// (every engine instance): a library already loaded when an operation starts stays loaded, one loaded
// by the operation is unloaded when the operation ends (LibraryLease).
//
// Looked up: DLLDirectory/<name> when that file exists, else the program folder/<name>; never through
// the system's search path, so only the installation's own libraries run.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/library_interface.h"

namespace vpk {

enum class EngineLibrary { Zip, Unzip };

// Reports a numbered message with an optional text after it (the engine's ShowZipMessage).
using LibraryReport = std::function<void(int messageId, std::string_view extra)>;

class LibraryLease {
  public:
    // Loads the library unless it is loaded (reporting 10604/10704, or 10601/10701 with trace) and
    // looks up both exports (10602/10603, 10702/10703). Ok() is false when the operation must not
    // be carried out; a library this lease loaded is then unloaded again at once.
    LibraryLease(EngineLibrary which, const std::string& dllDirectory, bool trace,
                 const LibraryReport& report);
    ~LibraryLease();
    LibraryLease(const LibraryLease&) = delete;
    LibraryLease& operator=(const LibraryLease&) = delete;

    bool Ok() const { return ok_; }
    bool LoadedHere() const { return loadedHere_; }
    std::int32_t Version() const;
    std::int32_t ZipExec(ZipCommand* command) const;
    std::int32_t UnzExec(UnzipCommand* command) const;

    // Whether a library module is currently loaded in the process (tests and diagnostics).
    static bool IsLoaded(EngineLibrary which);

  private:
    EngineLibrary which_;
    bool ok_ = false;
    bool loadedHere_ = false;
};

// The host file a library is loaded from.
std::string LibraryHostPath(EngineLibrary which, const std::string& dllDirectory);

}  // namespace vpk
