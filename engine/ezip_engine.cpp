#include "engine/ezip_engine.h"

#include <cctype>

#include "engine/zip_messages.h"

namespace vpk {

EZipEngine::EZipEngine(int messageId, bool showToUser)
    : std::runtime_error(zipmsg::ZipMessageText(messageId)), showToUser_(showToUser), messageId_(messageId) {}

EZipEngine::EZipEngine(int messageId, long long value)
    : std::runtime_error(FormatMessageText(zipmsg::ZipMessageText(messageId), std::to_string(value))),
      showToUser_(true),
      messageId_(messageId) {}

EZipEngine::EZipEngine(int messageId, std::string_view value)
    : std::runtime_error(FormatMessageText(zipmsg::ZipMessageText(messageId), value)),
      showToUser_(true),
      messageId_(messageId) {}

std::string FormatMessageText(std::string_view format, std::string_view value) {
    std::string out;
    out.reserve(format.size() + value.size());
    bool replaced = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        if (format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < format.size() && (std::isdigit(static_cast<unsigned char>(format[j])) ||
                                     format[j] == '.' || format[j] == '-' || format[j] == 'l'))
            ++j;
        if (replaced || j >= format.size() || (format[j] != 'd' && format[j] != 's' && format[j] != 'u')) {
            out += format[i];
            continue;
        }
        out += value;
        replaced = true;
        i = j;
    }
    return out;
}

}  // namespace vpk
