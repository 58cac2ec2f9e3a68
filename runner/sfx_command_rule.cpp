#include "runner/sfx_command_rule.h"

#include <cstdlib>

#include "model/text_fields.h"
#include "platform/text_codec.h"

namespace vpk {

std::string SfxCommandLine(std::string_view command, std::string_view dataFolder, bool storePaths) {
    const std::string upper = UpperCase(command);
    const std::string folder = UpperCase(dataFolder);
    const std::size_t at = folder.empty() ? std::string::npos : upper.find(folder);
    if (at == std::string::npos) return upper;
    if (storePaths) return "><" + (upper.size() > 3 ? upper.substr(3) : std::string());
    return "><" + upper.substr(at + folder.size());
}

std::string SfxMessage(int boxType, std::string_view text) {
    std::string message;
    if (boxType == 2) message += '\x01';
    if (boxType == 3) message += '\x02';
    message += text;
    return message;
}

DiskLabelInfo ParseDiskLabel(std::string_view label, int today, bool rotation) {
    DiskLabelInfo info;
    const std::string upper = UpperCase(label);
    if (upper.find("VPK-") != std::string::npos) {
        info.label = upper;
        const int uses = std::atoi(FieldOf("-", upper, 1).c_str());
        info.day = std::atoi(AfterLast("-", upper).c_str());
        info.newLabel = "VPK-" + std::to_string(uses + 1) + "-" + std::to_string(info.day);
    } else {
        info.label = "VPK-0-0";
        info.day = 0;
        info.newLabel = "VPK-1-" + std::to_string(today);
    }
    if (info.day == 0 || !rotation) info.day = today;
    return info;
}

}  // namespace vpk
