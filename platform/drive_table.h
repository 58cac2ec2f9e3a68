#pragma once
// The drive table maps drive letters onto host folders (drives.ini in the program folder):
//
//   [C]
//   path=/home/ann
//   [A]
//   path=/srv/vpk/floppy
//   type=removable        ; fixed (default) | removable | network | cdrom
//   capacity=1457664      ; optional, bytes: bounds the free space of a simulated medium
//
// Z: is "/" unless the table maps it; without a table file C: is the user's home folder.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vpk {

// Values of the Windows drive-type call, so callers can compare against them as the system does.
enum class DriveType : int { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

struct DriveMapping {
    char letter = 'C';           // upper case 'A'..'Z'
    std::string hostRoot;        // absolute host folder, no trailing '/' (except "/")
    DriveType type = DriveType::Fixed;
    std::optional<std::uint64_t> capacity;
};

class DriveTable {
public:
    // The default table: C: = $HOME, Z: = /.
    static DriveTable Default();
    // Reads a drives.ini. A section that names no folder, a letter out of A..Z or an unknown type is
    // skipped and described in *problems (when given); a missing file gives Default().
    static DriveTable Load(const std::string& hostFile, std::vector<std::string>* problems = nullptr);

    void Set(const DriveMapping& mapping);
    void Remove(char letter);
    const DriveMapping* Find(char letter) const;  // case-blind letter; nullptr when unmapped
    // The mapping whose root is the longest prefix of the host path (Z: = / catches the rest).
    const DriveMapping* FindByHostPath(const std::string& hostPath) const;
    const std::vector<DriveMapping>& Mappings() const { return mappings_; }  // sorted by letter

private:
    std::vector<DriveMapping> mappings_;
};

}  // namespace vpk
