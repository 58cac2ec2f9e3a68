#pragma once
// Copies a ZIP archive from one file into another while moving all of its data by a fixed distance:
// the entries as they are, then every central header, the ZIP64 records and the end record with
// their offsets moved. Used both ways by the self-extracting conversion (stub and block put in front,
// or taken away).
#include <cstdint>

#include "engine/end_record_finder.h"
#include "platform/file.h"

namespace vpk {

enum class ArchiveCopyResult { Ok, ReadFailed, WriteFailed, OutOfMemory };

// Copies input[from, recorded directory offset) to output, then the directory, ZIP64 records, end
// record and comment of `where` (found in input), each offset increased by shift (negative: moved
// towards the start). An offset the shift would take below 0 or past a 32-bit field fails as
// ReadFailed. The bytes written are where.fileEnd - from.
ArchiveCopyResult CopyArchiveShifted(File& input, const EndRecordLocation& where, std::uint64_t from,
                                     std::int64_t shift, File& output);

// Copies input[from, end of file) to output unchanged.
ArchiveCopyResult CopyFileRange(File& input, std::uint64_t from, File& output);

// True when the directory start computed from the end record differs from the recorded offset (a
// prefix put in front without moving the offsets).
bool DirectoryStartsDiffer(const EndRecordLocation& where);

}  // namespace vpk
