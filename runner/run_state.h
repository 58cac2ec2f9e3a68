#pragma once
// The values of the query being run, held by the backup program's main window for the whole process.
// The option names are those of the hidden check boxes and edit fields that carry them in the window,
// so a window can bind each to its control by name. Plain data: the runner fills it, the window shows
// the parts it has controls for.
#include <cstdint>
#include <string>
#include <vector>

namespace vpk {

// Show commands a start can carry; 6 and 7 are the minimized starts that keep the window hidden.
enum ShowCommandValue : int {
    SwHide = 0,
    SwShowNormal = 1,
    SwMinimize = 6,
    SwShowMinNoActive = 7,
};

struct RunState {
    // Query being run.
    std::string QueryName;    // section of a numbered query, "1".."150" in the all-queries run
    std::string SourceSpec;   // data folder + mask; for a query file "000006" text + file name
    std::string DataFolder;   // with a trailing backslash
    std::string ExcludeText;  // raw "exclu" value: items each preceded by "|"
    std::string ArchiveBaseName = "NoName";
    std::string Comment;  // also the source label's tooltip
    int Level = 1;        // 0..9
    int MaxArchives = 5;
    std::string DestFolder = "C:\\";  // upper-cased

    // Self-extractor settings.
    std::string SfxCaption;
    std::string SfxDefaultDir = "C:\\";
    std::string SfxCommand;
    bool SfxOverwrite = false;
    std::string IconFile;
    std::string IconIndex = "9999";  // "9999": chosen from CBExe when the window shows

    // Query files only.
    std::string AppExeName;
    std::string AppFolder;
    std::string RunBeforeAdd;

    // File specifications handed to the archive engine; they live for the whole process.
    std::vector<std::string> IncludeSpecs;
    std::vector<std::string> ExcludeSpecs;

    // Options (hidden check boxes and edit fields of the window).
    bool CbPath = true;
    bool CbSubDir = true;
    bool CBExe = false;
    bool CBPassWord = false;
    bool CbUpdateZip = true;
    bool CBDatePrefix = true;
    bool JJMM = true;
    bool CbEject = true;
    bool CbQuitOS = false;
    bool CbAutoClose = true;
    bool CbAutoRun = false;
    bool CbAskFiles = false;
    bool CbSFXMsg = false;
    std::string EdMsgSfx;
    int edTypeboiteInt = 1;  // 1 OK, 2 OK and Cancel, 3 Yes and No
    bool CbSuccesMsg = true;

    bool DestIsRemovable = false;
    bool CancelRequested = false;  // the user asked to stop the running archive step

    // Archive step.
    std::string StagingArchive;  // staging folder + archive file name (".zip", ".exe" once converted)
    std::string DestArchive;     // DestFolder + date prefix + archive file name
    int FilesDone = 0;
    int FilesTotal = 0;
    std::uint64_t StartTicks = 0;
    std::uint64_t EndTicks = 0;
    std::string RunSummary;
    int LastEngineCode = 0;
    std::int64_t FilesArchivedTotal = 0;  // kept in vortipak.cfg

    // Destination disk of a removable drive.
    std::string DiskLabel;
    std::string NewDiskLabel;
    int DiskDay = 0;  // 1 = Sunday … 7 = Saturday, 0 = none

    // Process state.
    int ShowCommand = SwShowNormal;
    bool ApplicationLocated = true;
    int IdleSeconds = 0;  // counted by the close timer since the last user activity
    bool CloseTimerOn = false;

    bool StartedMinimized() const { return ShowCommand == SwMinimize || ShowCommand == SwShowMinNoActive; }
};

}  // namespace vpk
