#pragma once
// The writing side of TBackupFile: selection, header, file records, segments, chunks and piece changes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "split/container_io.h"
#include "split/split_format.h"

namespace vpk {
class TBackupFile;
class File;
}  // namespace vpk

namespace vpk::split {

class ContainerWriter {
  public:
    explicit ContainerWriter(TBackupFile& owner) : c_(owner) {}
    bool Run(const std::vector<std::string>& fileList, const std::string& containerName);

  private:
    // Sizes every selected file and, with SaveFileID, writes the ID list to a temporary file that
    // becomes the first entry. Returns the entries to store.
    std::vector<std::string> Measure(const std::vector<std::string>& selection);
    void OpenFirstPiece();
    void StoreFile(const std::string& name, bool isIdList);
    // Writes segments (changing pieces between them) until the file's bytes are stored or the run
    // stops. True when every byte counted at opening was stored.
    bool StoreData(File& source, std::uint64_t size);
    void WriteSegment(File& source, std::uint64_t& left, bool& sourceEndedEarly);
    void StoreChunk(std::size_t size);
    void ChangePiece();
    void Finish();

    TBackupFile& c_;
    std::string containerName_;
    bool toStream_ = false;
    std::unique_ptr<ContainerSink> piece_;
    int chunksInPiece_ = 0;
    std::uint64_t total_ = 0;
    std::string idListPath_;
    std::array<std::uint8_t, kChunkSize> input_{};
    std::array<std::uint8_t, kChunkSize> output_{};
};

}  // namespace vpk::split
