#pragma once
// The header block a self-extracting archive carries between the extractor stub and the ZIP data: it
// tells the stub its caption, default folder, command line, message and options. Written as "MPV";
// the older "MPU" form (no message) is read too. Layout: docs/formats/sfx-block.md.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/zip_engine_types.h"

namespace vpk {

// Option bits of byte 3.
namespace sfxbit {
inline constexpr std::uint8_t kAskCmdLine = 1;
inline constexpr std::uint8_t kAskFiles = 2;
inline constexpr std::uint8_t kHideOverWriteBox = 4;
inline constexpr std::uint8_t kOverwriteAlways = 8;
inline constexpr std::uint8_t kOverwriteNever = 16;
inline constexpr std::uint8_t kNoCheckSize = 32;
inline constexpr std::uint8_t kAutoRun = 64;
inline constexpr std::uint8_t kNoSuccessMsg = 128;  // "MPV" only
}  // namespace sfxbit

inline constexpr std::size_t kSfxBlockFixedSize = 12;  // signature, bits, 0, 1, L, four lengths
inline constexpr std::size_t kSfxMaxTextLength = 255;
// How far before the ZIP data the block is looked for: the largest block, rounded up.
inline constexpr std::size_t kSfxBlockSearchSpan = 1032;

struct SfxSettings {
    SFXOpts options{SFXOptsEnum::SFXCheckSize};
    OvrOpts overwrite = OvrOpts::OvrConfirm;
    std::string caption, defaultDir, commandLine, message;
    bool operator==(const SfxSettings&) const = default;
};

// 12 + the four texts' lengths, rounded up to a multiple of 4.
std::size_t SfxBlockLength(const SfxSettings& settings);
// True when a text is too long for its one-byte length.
bool SfxTextsTooLong(const SfxSettings& settings);
std::uint8_t SfxOptionBits(const SfxSettings& settings);
// The block, SfxBlockLength bytes. Texts must fit (SfxTextsTooLong false).
std::string BuildSfxBlock(const SfxSettings& settings);

// Reads a block starting at data ("MPV" or "MPU"); nullopt when the signature is wrong or a text runs
// past size. Settings the block cannot hold (the message and bit 128 in "MPU") keep the values of
// `base`.
std::optional<SfxSettings> ParseSfxBlock(std::string_view data, const SfxSettings& base = {});
// The first position of "MP" followed by "U" or "V" in data, or npos.
std::size_t FindSfxBlock(std::string_view data);

}  // namespace vpk
