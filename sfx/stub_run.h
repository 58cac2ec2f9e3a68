#pragma once
// The stub's whole run: command line, the block's caption and message, the folder, the files, the
// extraction, the success report and the command line to run afterwards.
//
// Exit status: 0 done; 1 a failure (nothing attached, extraction errors, no space); 2 the user
// declined (or no terminal to ask and no --yes); 3 extracted, but the command line failed.
#include <string>
#include <vector>

namespace vpk::sfx {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitDeclined = 2;
inline constexpr int kExitCommandFailed = 3;

int RunStub(const std::string& selfPath, const std::vector<std::string>& arguments);

// "><" at the start of the default folder stands for the system temporary folder; a relative folder
// is taken from base. Returns a host path.
std::string ResolveDefaultFolder(const std::string& defaultDir, const std::string& base,
                                 const std::string& tempFolder);
// Every "><" in the command line stands for the extraction folder (with its trailing '/').
std::string ResolveCommandLine(const std::string& commandLine, const std::string& folder);

}  // namespace vpk::sfx
