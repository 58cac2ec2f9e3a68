#pragma once
// The one icon a self-extracting archive's stub shows: 32 x 32 pixels, 16 colours. Its image (a
// bitmap header, the palette, the colour and mask bits) is 744 bytes; as an icon file it is those
// bytes after a 22-byte header (6-byte file header and one 16-byte directory entry).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vpk {

inline constexpr std::size_t kIconImageSize = 744;  // 40 header + 64 palette + 512 colour + 128 mask
inline constexpr std::size_t kIconFileHeaderSize = 22;
inline constexpr std::size_t kIconFileSize = kIconFileHeaderSize + kIconImageSize;

// Our ELF stub reserves the image in its ".rsrc" section behind this marker.
inline constexpr std::string_view kIconAreaMarker = "VPKICON1";
inline constexpr std::size_t kIconAreaMarkerSize = 8;

// True when image (kIconImageSize bytes) starts with the bitmap header of a 32 x 32, 4-bit image.
bool IsIconImage(std::string_view image);
// The 744 image bytes of an icon file, or empty when the file is not exactly one 32 x 32 16-colour
// icon of 766 bytes.
std::string IconImageOfFile(std::string_view iconFile);
// The 766-byte icon file around an image.
std::string IconFileOfImage(std::string_view image);

// A plain default image (a framed box in the 16 standard colours), built at compile time so the
// stub can place it in its icon area.
constexpr std::array<std::uint8_t, kIconImageSize> DefaultIconImage() {
    std::array<std::uint8_t, kIconImageSize> image{};
    auto put32 = [&image](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);          // header size
    put32(4, 32);          // width
    put32(8, 64);          // height: colour and mask halves
    image[12] = 1;         // planes
    image[14] = 4;         // bits per pixel
    put32(20, 512 + 128);  // image size
    constexpr std::uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                            0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                            0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (std::size_t i = 0; i < 16; ++i) put32(40 + 4 * i, kPalette[i]);
    for (std::size_t y = 0; y < 32; ++y) {
        for (std::size_t x = 0; x < 32; x += 2) {
            auto colour = [y](std::size_t px) -> std::uint8_t {
                const bool frame = px < 3 || px > 28 || y < 3 || y > 28;
                const bool band = y >= 12 && y <= 19;
                return frame ? 4 : band ? 14 : 15;
            };
            image[104 + y * 16 + x / 2] = static_cast<std::uint8_t>(colour(x) << 4 | colour(x + 1));
        }
    }
    return image;  // mask all zero: every pixel shows
}

}  // namespace vpk
