#pragma once
// The run log file: plain text lines ended by CR LF. The program holds it in the log memo and writes
// it back whole; the write goes through a temporary name, so a crash never leaves half a log.
#include <string>
#include <vector>

namespace vpk {

// Lines of the file; empty when it is missing or unreadable (the log then starts empty).
std::vector<std::string> ReadRunLog(const std::string& path);
// False when the file could not be written (callers ignore it, the run goes on).
bool WriteRunLog(const std::string& path, const std::vector<std::string>& lines);

}  // namespace vpk
