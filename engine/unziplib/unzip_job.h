#pragma once
// One UnzExec call: extract (folder names, overwrite, freshen, update) or test the entries matching
// the specifications. Every file is written under a temporary name beside its target and renamed
// over it only when complete, so a damaged entry or a stop never leaves a half-written file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/library_interface.h"
#include "engine/zip_callback_channel.h"

namespace vpk::zip {

struct UnzipJobOptions {
    std::string archive;
    std::vector<std::string> specs;  // empty: every entry
    std::string password;
    bool test = false, update = false, freshen = false, dirNames = false, overwrite = false, verbose = false;
    std::int32_t passwordRequests = 1;

    static UnzipJobOptions FromCommand(const UnzipCommand& command);
};

class UnzipJob {
  public:
    UnzipJob(UnzipJobOptions options, CallbackChannel& channel)
        : options_(std::move(options)), channel_(channel) {}
    // Number of entries extracted or tested without error.
    std::int32_t Run();

  private:
    std::int32_t RunGuarded();

    UnzipJobOptions options_;
    CallbackChannel& channel_;
};

}  // namespace vpk::zip
