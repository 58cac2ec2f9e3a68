#pragma once
// The paths the backup program fixes once per process, all virtual and built from the program folder.
#include <string>

namespace vpk {

struct RunPaths {
    std::string programFolder;   // with its trailing backslash
    std::string stagingFolder;   // "Sas_Zip\": archives are built here first
    std::string settingsFile;    // vortipak.ini
    std::string runLog;          // VPKLogrun.txt
    std::string memoFile;        // postit.txt
    std::string statisticsFile;  // vortipak.cfg

    static RunPaths ForProgramFolder(const std::string& programFolder);
};

}  // namespace vpk
