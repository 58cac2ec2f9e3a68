#pragma once
// Joining a multi-disk archive into one archive: the directory read from the last disk, then every
// entry copied from the first disk to the last, then the directory written again with every entry on
// disk 0 at its new offset. TZipEngine::ReadSpan wraps it with the output file and the reporting.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_source.h"
#include "engine/end_record_finder.h"
#include "engine/span_disks.h"
#include "platform/file.h"

namespace vpk {

class TZipEngine;

class SpanJoiner {
  public:
    SpanJoiner(TZipEngine& engine, SpanDisks& disks) : engine_(engine), disks_(disks) {}

    // Reads the set ending in the piece that `where` was found in (already open as lastPiece) and
    // writes the joined archive to output. Failures raise EZipEngine with the message that says why.
    void Join(ArchiveSource& lastPiece, const EndRecordLocation& where, File& output);

  private:
    struct Slot {
        std::string name;  // as stored
        std::uint64_t compressedSize = 0;
        std::uint64_t outputOffset = 0;
        bool found = false;
    };

    void OpenDisk(std::uint32_t disk);
    // Reads size bytes, going on with the next disk at the end of a piece; errorId when they are not
    // all there.
    void Read(void* out, std::size_t size, int errorId);
    void Write(const void* data, std::size_t size, int errorId);
    void CopyBytes(std::uint64_t size, int readErrorId);
    void ReadDirectory(const EndRecordLocation& where, bool writing);
    void CopyEntry();

    TZipEngine& engine_;
    SpanDisks& disks_;
    ArchiveSource* source_ = nullptr;
    std::uint32_t currentDisk_ = 0;
    std::uint32_t lastDisk_ = 0;
    std::optional<SequentialReader> reader_;
    File* output_ = nullptr;
    std::uint64_t written_ = 0;
    std::vector<Slot> slots_;
};

}  // namespace vpk
