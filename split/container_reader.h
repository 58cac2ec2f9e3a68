#pragma once
// The reading side of TBackupFile: walks a container from its first piece and writes the stored files
// back under the overwrite rule.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file.h"
#include "split/container_io.h"
#include "split/split_format.h"

namespace vpk {
class TBackupFile;
}

namespace vpk::split {

class ContainerReader {
  public:
    explicit ContainerReader(TBackupFile& owner) : c_(owner) {}
    bool Run(const std::string& containerName, const std::string& destFolder);

  private:
    void ReadHeader();
    void FileRecord(const std::string& storedBytes);
    void PieceChange(const std::string& record);
    // Reads one data segment, writing into the target when `writing`. Damage in the container raises
    // EBackupFile; a target that cannot be written sets error 1 and stops the run.
    void ReadSegment(bool writing);
    void WriteToTarget(const std::uint8_t* data, std::size_t size);
    void CloseTarget();  // OnFileRestored, close, stored date

    TBackupFile& c_;
    std::string destFolder_;
    std::string pieceName_;  // the piece being read
    bool fromStream_ = false;
    std::unique_ptr<ContainerSource> piece_;
    bool haveFile_ = false;   // a file record was read (a piece change belongs to it)
    bool restoring_ = false;  // the decision for the current file, kept across pieces
    std::string targetName_;
    std::uint32_t storedDate_ = 0;
    File target_;
    std::array<std::uint8_t, kChunkSize> stored_{};
    std::array<std::uint8_t, kChunkSize> expanded_{};
};

}  // namespace vpk::split
