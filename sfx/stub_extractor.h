#pragma once
// Extraction of the attached archive through the unzip library's code, linked into the stub: the
// library's questions (password, existing files) are answered through the console.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/zip_engine_types.h"
#include "sfx/stub_console.h"

namespace vpk::sfx {

struct ExtractRequest {
    std::string archive;             // host path of the self-extracting file
    std::string folder;              // host path, existing
    std::vector<std::string> names;  // entry names; empty: every entry
    OvrOpts overwrite = OvrOpts::OvrConfirm;
    std::optional<std::string> password;  // given on the command line
};

struct ExtractOutcome {
    int extracted = 0;
    int failed = 0;        // damaged, wrong password, not writable …
    int keptExisting = 0;  // existing files left as they were, as asked
    std::vector<std::string> problems;
};

ExtractOutcome ExtractArchive(const ExtractRequest& request, const StubConsole& console);

}  // namespace vpk::sfx
