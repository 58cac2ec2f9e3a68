#include "engine/code_page_rule.h"

#include "platform/text_codec.h"

namespace vpk {

bool ConvertsOem(const CodePageContext& c) {
    return (c.codePage == CodePageOpts::cpAuto && c.hostSystem == 0) || c.hostSystem == 6 ||
           (c.hostSystem == 11 && c.madeByVersion == 50) || c.codePage == CodePageOpts::cpOEM;
}

std::string ConvertOEM(std::string_view text, CodePageDirection direction, const CodePageContext& context) {
    if (direction == CodePageDirection::ArchiveToText) {
        if (ConvertsOem(context)) return OemToUtf8(text, kArchiveOemCodePage);
        return IsValidUtf8(text) ? std::string(text) : Cp1252ToUtf8(text);
    }
    if (ConvertsOem(context)) return Utf8ToOem(text, kArchiveOemCodePage);
    return std::string(text);
}

std::string ArchiveText(std::string_view bytes, bool utf8Flag, const CodePageContext& context) {
    if (utf8Flag) return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
    return ConvertOEM(bytes, CodePageDirection::ArchiveToText, context);
}

}  // namespace vpk
