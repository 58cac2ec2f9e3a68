#pragma once
// The fresh central directory and end record of a repaired archive.
//
// Per entry a central header made from its TFileInfo: version made by 0 on host 0, no comment, no
// attributes, extra field empty unless a size or the offset does not fit in 32 bits, in which case
// the field holds all ones and a ZIP64 extra block carries the value. After the headers comes a ZIP64
// end record and its locator whenever the entry count does not fit in 16 bits or the directory's size
// or offset does not fit in 32 bits, and then the end record (no comment).
#include <cstdint>
#include <vector>

#include "repair/file_info.h"
#include "repair/repair_sink.h"

namespace vpk {

// entries hold their output offsets; directoryOffset is where the first central header goes.
void WriteCentralDirectory(RepairSink& sink, const std::vector<TFileInfo>& entries,
                           std::uint64_t directoryOffset);

}  // namespace vpk
