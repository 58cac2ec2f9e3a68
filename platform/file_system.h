#pragma once
// The virtual file system: Windows paths ("C:\\DATA\\x.txt", "A:\\", "\\sub", "rel\\x") on a Linux host.
// Only the platform layer knows host paths; everything above speaks virtual paths.
//
// Resolution: a virtual path resolves component by component: the exact host name when it exists,
// else the one entry matching without regard to case; a missing component keeps the case given (so a
// folder created later has that name). Both '\\' and '/' separate components. A path starting with '/'
// is taken as a host path as it stands (so host paths given by tools and tests work everywhere).
//
// Attributes: hidden = name starts with '.', read-only = no owner write bit, directory, archive bit =
// the file changed since ClearArchiveBit (mtime and size kept in the xattr user.vpk.archived; set when
// they differ or the attribute is missing or unsupported).
//
// Media: a removable drive holds a disk when its root folder exists. Its label is the xattr
// user.vpk.label of the root. Eject of a simulated drive moves the root aside (the disk is taken out).
//
// Thread-safety: the current folder and drive table are process state; call from one thread.
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drive_table.h"

namespace vpk {

// DOS/Windows attribute bits.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrVolume = 0x08;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrAnyFile = 0x3F;

// DOS packed date/time (date in the high 16 bits), local time, 2-second resolution. Times before
// 1980-01-01 clamp to 1980-01-01 00:00:00, after 2107 to 2107-12-31 23:59:58.
std::uint32_t DosDateTimeFromUnix(std::int64_t unixTime);
std::int64_t UnixFromDosDateTime(std::uint32_t dosDateTime);

// DOS wildcard match of one file name: '*' any run, '?' one character, no case; "*.*" matches every
// name (also names without a dot), "*." names without an extension.
bool WildcardMatch(std::string_view pattern, std::string_view name);

struct FindEntry {
    std::string name;             // file name only, host spelling
    std::uint32_t attributes = 0; // kAttr* bits
    std::uint64_t size = 0;
    std::uint32_t dosDateTime = 0;
    std::int64_t mtime = 0;       // seconds since the epoch
};

struct FileInfo {
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::int64_t mtime = 0;
    std::uint32_t dosDateTime = 0;
};

// Find-first/next over one folder: spec is a folder followed by a wildcard name ("C:\\DATA\\*.txt").
// Like the Windows/Delphi call with an attribute mask: plain files always, hidden, system and
// directory entries only when the mask asks for them. "." and ".." are never listed.
// The listing is taken when the finder is built; entries that vanish meanwhile are still listed.
class FileFinder {
public:
    FileFinder(std::string_view spec, std::uint32_t attributeMask = kAttrAnyFile);
    bool Next(FindEntry& entry);   // false at the end
    bool FolderFound() const { return folderFound_; }

private:
    std::vector<FindEntry> entries_;
    std::size_t next_ = 0;
    bool folderFound_ = false;
};

class FileSystem {
public:
    FileSystem();  // default drive table, current folder = C:\ (or the host cwd when it has a virtual form)

    // The process-wide instance every core routine uses.
    static FileSystem& Instance();

    void SetDriveTable(DriveTable table);
    const DriveTable& Drives() const { return drives_; }

    // Virtual → host. Relative paths are taken from the current folder. nullopt when the drive is not
    // mapped or the path is not a valid virtual path.
    std::optional<std::string> ToHost(std::string_view path) const;
    // Host → virtual, through the longest matching drive root ("/home/ann/x" → "C:\\x").
    std::string ToVirtual(std::string_view hostPath) const;
    // Absolute virtual form of a path (relative → current folder; "\\x" → current drive), "." and ".."
    // resolved textually. Empty when the path has an unmapped drive.
    std::string FullPath(std::string_view path) const;

    std::string CurrentFolder() const { return current_; }   // "C:\\DATA" (no trailing '\\' but for roots)
    bool SetCurrentFolder(std::string_view path);            // false when it is not an existing folder

    std::optional<FileInfo> Stat(std::string_view path) const;
    bool FileExists(std::string_view path) const;    // a file, not a folder
    bool FolderExists(std::string_view path) const;
    std::uint32_t Attributes(std::string_view path) const;  // 0xFFFFFFFF when missing
    bool SetReadOnly(std::string_view path, bool readOnly);
    bool ClearArchiveBit(std::string_view path);  // false when the file is missing or xattrs fail
    bool SetArchiveBit(std::string_view path);    // removes the mark
    bool SetFileTime(std::string_view path, std::int64_t unixTime);

    // All return false on failure (errno kept), never throw.
    bool CreateFolder(std::string_view path);          // parent must exist
    bool CreateFolderChain(std::string_view path);     // every missing level
    bool RemoveFolder(std::string_view path);          // only when empty
    bool DeleteFile(std::string_view path);
    bool RenameFile(std::string_view from, std::string_view to);  // replaces an existing target file
    bool CopyFile(std::string_view from, std::string_view to, bool failIfExists);
    // A new, not yet existing file name "<folder>\\<prefix>XXXX.tmp" (the file is created empty).
    std::string TempFileName(std::string_view folder, std::string_view prefix);

    // Drives. letter is 'A'..'Z' (either case).
    DriveType TypeOfDrive(char letter) const;
    std::uint32_t LogicalDrives() const;                // bit 0 = A: … for each mapped drive
    bool DiskPresent(char letter) const;                // root exists
    // Free bytes for the medium holding path, bounded by the drive capacity minus what its files
    // use; -1 when it cannot tell.
    std::int64_t FreeBytes(std::string_view path) const;
    std::int64_t TotalBytes(std::string_view path) const;
    std::optional<std::string> VolumeLabel(char letter) const;   // nullopt: no disk / unreadable
    bool SetVolumeLabel(char letter, std::string_view label);
    // Another process holds a lock (flock or fcntl) on the file.
    bool IsFileInUse(std::string_view path) const;
    // Real device: eject/udisksctl; simulated: root moved aside. False when nothing could be ejected.
    bool Eject(char letter);

private:
    DriveTable drives_;
    std::string current_;
};

inline FileSystem& Fs() { return FileSystem::Instance(); }

}  // namespace vpk
