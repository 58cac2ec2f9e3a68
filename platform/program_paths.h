#pragma once
// Where the running program lives. The program folder is the folder of the running executable
// (/proc/self/exe); tests can point it at a temporary installation.
#include <string>
#include <vector>

namespace vpk {

std::string ProgramFolderHost();      // host path, no trailing '/'
std::string ProgramFolderVirtual();   // virtual path with its trailing '\\' ("C:\\VPK\\")
void SetProgramFolderHost(std::string hostFolder);  // tests and tools

// Reads drives.ini of the program folder into the file system (once at start of every program);
// problems found in the table are returned for the caller to report.
std::vector<std::string> LoadProgramDriveTable();

}  // namespace vpk
