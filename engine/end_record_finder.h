#pragma once
// Finding an archive's end record: first in the last 22 bytes, then backwards through at most the last
// 65557 bytes (record plus the largest comment). Also tells whether the file is the first piece of a
// multi-disk set and which disk a "PKBACK# nnn" volume label names.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/archive_source.h"

namespace vpk {

enum class EndRecordMode {
    MustFind,  // not found raises the numbered error that says why (EZipEngine)
    Try        // not found is a result (used while looking for the last disk of a set)
};

struct EndRecordLocation {
    bool found = false;
    std::uint64_t position = 0;    // of the end record
    std::uint64_t fileEnd = 0;     // where the record and its comment end
    std::uint64_t trueLength = 0;  // of the file
    // The record's fields, from the ZIP64 end record when the archive has one.
    std::uint32_t diskNumber = 0;
    std::uint32_t directoryDisk = 0;
    std::uint64_t entriesTotal = 0;
    std::uint64_t directorySize = 0;
    std::uint64_t directoryOffset = 0;
    bool zip64 = false;
    std::uint64_t zip64RecordPosition = 0;  // where the ZIP64 end record lies (zip64 only)
    std::string comment;                    // archive form (bytes as stored)
    bool firstPiece = false;                // begins with the span marker and a local header
    int labelDisk = 0;                      // disk number of a "PKBACK# " label, else 0
};

// Reports warnings 10203 / 10204 through warn. Read errors raise EZipEngine (11008, 11011).
EndRecordLocation FindEndRecord(ArchiveSource& source, EndRecordMode mode, std::string_view volumeLabel,
                                const std::function<void(int messageId)>& warn);

}  // namespace vpk
