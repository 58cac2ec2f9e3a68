#pragma once
// Byte layout of the split container (docs/formats/split-container.md). Every integer is 32-bit
// signed little-endian; strings are a length followed by their bytes, no terminator.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vpk::split {

// One chunk holds at most this many source bytes, and its stored form is never longer: a chunk whose
// compressed form does not fit is stored raw.
inline constexpr std::size_t kChunkSize = 16384;
// A piece stops taking chunks once its position reaches MaxSize - kPieceMargin: room for one more
// full chunk plus the records that close the piece.
inline constexpr std::int64_t kPieceMargin = 16384 + 100;

// The four bytes that open every data segment.
inline constexpr char kSegmentMark[4] = {'E', 'C', '2', '\0'};
inline constexpr std::string_view kSegmentMarkText = "EC2";

// A name length of 0 where a file record would start ends the container.
inline constexpr std::int32_t kEndMark = 0;
// A chunk length of 0 ends a data segment.
inline constexpr std::int32_t kEndOfSegment = 0;

// Piece-change record: "NEXT:DISK" and three decimal digits, in place of a file record.
inline constexpr std::string_view kNextDiskPrefix = "NEXT:DISK";
inline constexpr std::size_t kNextDiskRecordLength = 12;
// Three digits give room for pieces 1..999.
inline constexpr int kMaxPieces = 999;

// Name of the record holding the file ID list (always the first record when present).
inline constexpr std::string_view kFileListName = "FILE:LIST";

// Names longer than this are refused by the reader: no path of any host comes near it, and it keeps a
// damaged length from allocating gigabytes.
inline constexpr std::int32_t kMaxStoredNameLength = 32768;

// The header's total-size field is 32-bit signed; larger totals are written clamped (the field only
// drives progress figures).
inline constexpr std::int64_t kMaxStoredTotal = 0x7FFFFFFF;

}  // namespace vpk::split
