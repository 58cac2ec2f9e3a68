#include "engine/sfx_icon_image.h"

#include "engine/zip_format.h"

namespace vpk {

namespace {

const std::uint8_t* Bytes(std::string_view s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

}  // namespace

bool IsIconImage(std::string_view image) {
    if (image.size() != kIconImageSize) return false;
    const std::uint8_t* p = Bytes(image);
    return zip::Get32(p) == 40 && zip::Get32(p + 4) == 32 && zip::Get32(p + 8) == 64 &&
           zip::Get16(p + 12) == 1 && zip::Get16(p + 14) == 4;
}

std::string IconImageOfFile(std::string_view file) {
    if (file.size() != kIconFileSize) return {};
    const std::uint8_t* p = Bytes(file);
    // File header: reserved 0, type 1 (icon), one image; then its directory entry.
    if (zip::Get16(p) != 0 || zip::Get16(p + 2) != 1 || zip::Get16(p + 4) != 1) return {};
    const std::uint8_t* entry = p + 6;
    if (entry[0] != 32 || entry[1] != 32 || entry[2] != 16 || zip::Get32(entry + 8) != kIconImageSize ||
        zip::Get32(entry + 12) != kIconFileHeaderSize)
        return {};
    std::string image(file.substr(kIconFileHeaderSize));
    return IsIconImage(image) ? image : std::string{};
}

std::string IconFileOfImage(std::string_view image) {
    std::uint8_t header[kIconFileHeaderSize] = {};
    zip::Put16(header + 2, 1);
    zip::Put16(header + 4, 1);
    std::uint8_t* entry = header + 6;
    entry[0] = 32;
    entry[1] = 32;
    entry[2] = 16;
    zip::Put16(entry + 4, 1);  // planes
    zip::Put16(entry + 6, 4);  // bits per pixel
    zip::Put32(entry + 8, kIconImageSize);
    zip::Put32(entry + 12, kIconFileHeaderSize);
    return std::string(reinterpret_cast<const char*>(header), sizeof header) + std::string(image);
}

}  // namespace vpk
