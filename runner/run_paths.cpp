#include "runner/run_paths.h"

#include "model/path_routines.h"
#include "store/archive_statistics.h"

namespace vpk {

RunPaths RunPaths::ForProgramFolder(const std::string& programFolder) {
    RunPaths p;
    p.programFolder = AddBackslash(programFolder);
    p.stagingFolder = p.programFolder + "Sas_Zip\\";
    p.settingsFile = p.programFolder + "vortipak.ini";
    p.runLog = p.programFolder + "VPKLogrun.txt";
    p.memoFile = p.programFolder + "postit.txt";
    p.statisticsFile = p.programFolder + std::string(kStatisticsFileName);
    return p;
}

}  // namespace vpk
