#pragma once
// Values of the self-extractor settings that follow from the run state.
#include <string>
#include <string_view>

namespace vpk {

// The command line a self-extracting archive runs after extracting. A command inside the data folder
// becomes relative to the extraction folder ("><" prefix): below the drive root when paths are stored,
// below the data folder when they are not.
std::string SfxCommandLine(std::string_view command, std::string_view dataFolder, bool storePaths);

// The self-extractor's message: a leading character chosen by the message-box type (1: none, 2: code 1,
// 3: code 2) followed by the text.
std::string SfxMessage(int boxType, std::string_view text);

// "VPK-<uses>-<day>" labels of rotated disks.
struct DiskLabelInfo {
    std::string label;     // the label read, or "VPK-0-0" for a disk without such a label
    std::string newLabel;  // what the disk gets after a copy
    int day = 0;           // 1 = Sunday … 7 = Saturday; 0 = none
};
DiskLabelInfo ParseDiskLabel(std::string_view label, int today, bool rotation);

}  // namespace vpk
