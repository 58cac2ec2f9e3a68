#pragma once
// Drives libvpkzip.so and libvpkunz.so of the built installation through their exports, the way the
// engine does, and records every callback so tests can check what the libraries reported.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/library_interface.h"

namespace vpk::test {

struct CallbackEvent {
    std::int32_t action = 0;
    std::int32_t code = 0;
    std::int64_t number = 0;
    std::string text;
};

struct ZipRequest {
    std::string archive;
    std::vector<std::string> specs;
    std::vector<std::string> exclusions;
    int level = 6;
    std::string storeSuffixes;  // empty: none
    std::string password;
    std::optional<std::string> comment;
    bool encrypt = false, hidden = false, dirNames = true, recurse = false, folderEntries = false;
    bool move = false, deleteEntries = false, update = false, freshen = false, zipTime = false;
};

struct UnzipRequest {
    std::string archive;
    std::vector<std::string> specs;
    std::string password;
    bool test = false, update = false, freshen = false, dirNames = true, overwrite = false;
    std::int32_t passwordReqCount = 1;
};

class LibraryHarness {
  public:
    LibraryHarness();  // loads both libraries from VPK_INSTALL_DIR; fails the test when missing
    ~LibraryHarness();

    std::int32_t Zip(const ZipRequest& request);
    std::int32_t Unzip(const UnzipRequest& request);

    // Everything the last call reported, in order.
    std::vector<CallbackEvent> events;
    std::vector<CallbackEvent> Events(std::int32_t action) const;
    bool HasMessage(std::int32_t code) const;

    // Answers: a password request gets the next password (none left: no password); the callback
    // returns -1 (stop) from the cancelAfter-th call on, when set.
    std::vector<std::string> passwords;
    std::int32_t passwordRepeatAnswer = 15;
    std::function<bool(const std::string& name, bool older, bool overwrite)> onExists;
    std::function<bool(const std::string& name)> onCrcError;
    std::optional<int> cancelAfter;

  private:
    static std::int32_t Callback(CallbackRecord* record);
    std::int32_t Handle(CallbackRecord* record);

    void* zipLib_ = nullptr;
    void* unzLib_ = nullptr;
    ZipExecFn zipExec_ = nullptr;
    UnzExecFn unzExec_ = nullptr;
    int calls_ = 0;
};

}  // namespace vpk::test
