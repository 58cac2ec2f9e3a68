#pragma once
// Where the self-extractor stub is taken from: the path set in SFXPath when it names a file, else
// "VPKSFX.BIN" in the current folder, in the program folder, then in the library folder when one is
// set. The first that exists wins.
#include <string>

namespace vpk {

inline constexpr const char* kSfxStubFileName = "VPKSFX.BIN";

// The stub's path, or empty when none exists.
std::string FindSfxStub(const std::string& sfxPath, const std::string& dllDirectory);

}  // namespace vpk
