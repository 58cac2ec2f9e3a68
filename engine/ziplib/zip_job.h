#pragma once
// One ZipExec call: add, freshen, update, move or delete. The new archive is always written beside
// the old one, unchanged entries copied raw, and renamed over it only when complete and synced; a
// failure or a stop request leaves the old archive exactly as it was.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/library_interface.h"
#include "engine/zip_callback_channel.h"

namespace vpk::zip {

struct ZipJobOptions {
    std::string archive;
    std::vector<std::string> specs;
    std::vector<std::string> exclusions;
    std::vector<std::string> storeSuffixes;  // ".gif", ".png" …
    std::optional<std::string> comment;      // archive form; none keeps the old comment
    std::string password;
    int level = 9;
    bool encrypt = false, hidden = false, folderEntries = false, dirNames = true, recurse = false;
    bool forceDos = false, move = false, deleteEntries = false, update = false, freshen = false;
    bool zipTime = false, archiveOnly = false, resetArchive = false, verbose = false;

    static ZipJobOptions FromCommand(const ZipCommand& command);
};

class ZipJob {
  public:
    ZipJob(ZipJobOptions options, CallbackChannel& channel)
        : options_(std::move(options)), channel_(channel) {}
    // Number of entries added, replaced or deleted; 0 when nothing changed.
    std::int32_t Run();

  private:
    std::int32_t RunGuarded();
    void Report(std::int32_t code, const std::string& text) { channel_.Message(code, text); }

    ZipJobOptions options_;
    CallbackChannel& channel_;
    std::string tempPath_;
};

}  // namespace vpk::zip
