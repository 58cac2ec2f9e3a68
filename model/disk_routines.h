#pragma once
// Files, folders and drives on disk, and the size texts shown for them.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vpk {

// Raised by IsFolderEmpty for a folder that does not exist; the text is the one shown to the user.
class EFolderNotFound : public std::runtime_error {
  public:
    explicit EFolderNotFound(std::string_view folder);
};

std::uint64_t FileSizeOf(std::string_view path);  // first file matching path; 0 when none
// " ? " when nothing matches; "<kilobytes> Ko" from 2048 bytes on, else "<bytes> Octets".
std::string FileSizeText(std::string_view path);
// "<n> b" up to 1023, then kilobytes (" Ko") and megabytes (" Mo") with 3 significant digits and
// the given decimal separator; empty for a negative n and from 1 GiB on.
std::string SizeText(std::int64_t n, char decimalSeparator);
std::string SizeText(std::int64_t n);  // with the user's locale separator
char LocaleDecimalSeparator();         // of LC_ALL / LC_NUMERIC / LANG; '.' when unknown

// Sum of the sizes of the files matching mask in folder and in the sub-folders the mask lists,
// recursively; 0 for a missing folder. Unreadable entries are skipped.
std::uint64_t FolderSize(std::string_view folder, std::string_view mask);
// True when folder holds no entry; raises EFolderNotFound when it does not exist.
bool IsFolderEmpty(std::string_view folder);
// Deletes the files matching mask in folder (hidden and system ones too, sub-folders kept), then
// tries to remove the folder, which only works when it is empty and never for a drive root. Leaves the current folder at the
// folder's parent (the folder itself cannot stay current once it is removed).
void DeleteFilesIn(std::string_view folder, std::string_view mask);
bool CopyFilesTo(std::string_view from, std::string_view to);

// 3: drive answers with files, 2: drive answers with no file, 0: not found / not ready, 1: other.
int DriveState(char letter);
std::string VolumeLabel(std::string_view root);  // one blank when it cannot be read

}  // namespace vpk
