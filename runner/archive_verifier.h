#pragma once
// Checks an archive where it was copied to: its directory must list and every entry's data must pass
// its CRC test. A backup only counts once its copy at the destination reads back whole.
#include <string>

namespace vpk {

struct VerifyResult {
    bool ok = false;
    int entries = 0;      // entries listed
    int tested = 0;       // entries whose data passed the test
    std::string problem;  // what failed, for the error list and the run log
};

// dllDirectory: where the unzip library is; password: the archive's password (empty: none).
VerifyResult VerifyArchive(const std::string& archive, const std::string& dllDirectory,
                           const std::string& password, int expectedEntries);

}  // namespace vpk
