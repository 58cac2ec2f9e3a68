#pragma once
// The pieces of a multi-disk archive as the directory reader asks for them. On a fixed or network
// drive every piece is a file whose name ends, before the extension, in its three-digit number
// ("backup001.zip"); on removable media every disk carries the volume label "PKBACK# 001", … and the
// user is asked to insert the one wanted.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/archive_source.h"

namespace vpk {

// The file name of piece `disk` (0-based) of the set that `archiveName` belongs to: the extension and
// the three characters before it replaced by the number disk + 1 in three digits and the extension.
std::string SpanPieceName(const std::string& archiveName, std::uint32_t disk);

class SpanDisks {
  public:
    // archiveName: the piece the listing started from (the last one). unattended: never ask.
    SpanDisks(std::string archiveName, bool unattended);

    // Opens piece `disk` for reading; raises EZipEngine: 11001 when a piece file cannot be opened,
    // 11025 when a disk would have to be asked for unattended, 11007 when the user cancels.
    ArchiveSource* Open(std::uint32_t disk, std::uint32_t lastDisk);

    // Opens the piece that holds the set's end record: on a fixed or network drive the piece file as
    // named (nullptr when holdsEnd refuses it); on removable media the disk in the drive, asking for
    // the last disk until holdsEnd accepts one. Raises 11025 unattended, 11007 when the user cancels.
    ArchiveSource* OpenLast(const std::function<bool(ArchiveSource&)>& holdsEnd);
    bool Removable() const { return removable_; }

  private:
    void AskForLastDisk();
    bool RightDiskPresent(std::uint32_t disk) const;
    void AskForDisk(std::uint32_t disk, std::uint32_t lastDisk);

    std::string archiveName_;
    bool unattended_;
    char driveLetter_ = 0;
    bool removable_ = false;
    std::unique_ptr<FileArchiveSource> open_;
};

}  // namespace vpk
