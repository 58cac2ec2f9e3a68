#pragma once
// Reading an archive's central directory without any library: the end record, then every central
// header, into ZipDirEntry records. TZipEngine::List wraps it with the drive checks, the reporting and
// the events; the fuzz target and tests call it directly on bytes in memory.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/archive_source.h"
#include "engine/code_page_rule.h"
#include "engine/end_record_finder.h"
#include "engine/zip_dir_entry.h"

namespace vpk {

// What a listing leaves for later operations (comment write, self-extracting conversion, joining a
// multi-disk set).
struct ArchiveLayout {
    std::uint64_t endRecordPosition = 0;
    std::uint64_t zip64RecordPosition = 0;  // 0 without a ZIP64 end record
    std::uint64_t fileEnd = 0;              // as the end record defines it
    std::uint64_t trueLength = 0;
    std::uint64_t computedDirectoryStart = 0;
    std::uint64_t recordedDirectoryOffset = 0;
    bool directoryStartsDiffer = false;
    bool zip64 = false;
    bool firstPiece = false;
    std::uint32_t endRecordDisk = 0;  // 0 for a one-piece archive
    std::uint32_t currentDisk = 0;    // the disk open when the listing ended
    std::uint8_t lastHostSystem = 0;  // of the last central header read (code-page rule)
    std::uint8_t lastMadeByVersion = 0;
    std::string volumeLabel;
    bool IsMultiDisk() const { return endRecordDisk > 0; }
};

struct ZipDirectory {
    std::vector<ZipDirEntry> entries;
    std::string comment;  // archive form
    std::uint64_t prefixSize = 0;
    ArchiveLayout layout;
};

struct ZipDirReaderHooks {
    std::function<void(int messageId)> warn;                         // 10203, 10204, 10201 …
    std::function<void(int seqNo, const ZipDirEntry& entry)> entry;  // per entry, from 1
    // Another piece of a multi-disk set, opened for reading; nullptr when it cannot be had. The
    // source stays owned by the caller and valid until the next call.
    std::function<ArchiveSource*(std::uint32_t disk)> openDisk;
};

// Reads the directory of the archive in source into out. Failures raise EZipEngine with the message
// that says why; the entries read before the failure stay in out.entries and out.prefixSize is then 0.
void ReadZipDirectory(ArchiveSource& source, const std::string& volumeLabel, CodePageOpts codePage,
                      const ZipDirReaderHooks& hooks, ZipDirectory& out);

}  // namespace vpk
