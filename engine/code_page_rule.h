#pragma once
// Which archive texts (names, comments) are in the OEM code page and how they become the UTF-8 the
// program works in. Archives from DOS and Windows tools (host 0, OS/2 host 6, NTFS host 11 written by
// version 5.0 tools) store OEM bytes; others are taken as they are unless the engine is told cpOEM.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/zip_engine_types.h"

namespace vpk {

// The OEM code page of archive texts (byte 0x82 is "é" in it).
inline constexpr int kArchiveOemCodePage = 437;

enum class CodePageDirection { ArchiveToText, TextToArchive };

struct CodePageContext {
    CodePageOpts codePage = CodePageOpts::cpAuto;
    std::uint8_t hostSystem = 0;     // of the last central header read
    std::uint8_t madeByVersion = 0;  // same
};

bool ConvertsOem(const CodePageContext& context);

// The code-page rule. Converted: every byte below 128 stays, each other goes through the OEM table.
// Not converted, archive to text: valid UTF-8 stays, other bytes are read as Windows-1252 (names
// written by Windows tools that stored their ANSI bytes). Text to archive, not converted: UTF-8 as is.
std::string ConvertOEM(std::string_view text, CodePageDirection direction, const CodePageContext& context);

// A stored name or comment: with the UTF-8 flag (general purpose bit 11) it is UTF-8 whatever the rule.
std::string ArchiveText(std::string_view bytes, bool utf8Flag, const CodePageContext& context);

}  // namespace vpk
