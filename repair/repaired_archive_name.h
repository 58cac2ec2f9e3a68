#pragma once
// The default name of a repaired archive: the source name with its extension, dot included, replaced by
// the suffix ("C:\\SAVE\\backup.zip" with "SOS.zip" gives "C:\\SAVE\\backupSOS.zip"); a name without an
// extension gets the suffix appended.
#include <string>
#include <string_view>

namespace vpk {

std::string RepairedArchiveName(std::string_view source, std::string_view suffix);

}  // namespace vpk
