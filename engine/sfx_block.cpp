#include "engine/sfx_block.h"

namespace vpk {

namespace {

constexpr std::uint8_t kBlockVersionHigh = 0;  // bytes 4 and 5 of "MPV"
constexpr std::uint8_t kBlockVersionLow = 1;

const std::string* TextsOf(const SfxSettings& s, int i) {
    const std::string* texts[] = {&s.caption, &s.defaultDir, &s.commandLine, &s.message};
    return texts[i];
}

}  // namespace

std::size_t SfxBlockLength(const SfxSettings& s) {
    const std::size_t raw =
        kSfxBlockFixedSize + s.caption.size() + s.defaultDir.size() + s.commandLine.size() + s.message.size();
    return (raw + 3) & ~std::size_t{3};
}

bool SfxTextsTooLong(const SfxSettings& s) {
    for (int i = 0; i < 4; ++i)
        if (TextsOf(s, i)->size() > kSfxMaxTextLength) return true;
    return false;
}

std::uint8_t SfxOptionBits(const SfxSettings& s) {
    std::uint8_t bits = 0;
    if (s.options.Has(SFXOptsEnum::SFXAskCmdLine)) bits |= sfxbit::kAskCmdLine;
    if (s.options.Has(SFXOptsEnum::SFXAskFiles)) bits |= sfxbit::kAskFiles;
    if (s.options.Has(SFXOptsEnum::SFXHideOverWriteBox)) bits |= sfxbit::kHideOverWriteBox;
    if (s.overwrite == OvrOpts::OvrAlways) bits |= sfxbit::kOverwriteAlways;
    if (s.overwrite == OvrOpts::OvrNever) bits |= sfxbit::kOverwriteNever;
    if (!s.options.Has(SFXOptsEnum::SFXCheckSize)) bits |= sfxbit::kNoCheckSize;
    if (s.options.Has(SFXOptsEnum::SFXAutoRun)) bits |= sfxbit::kAutoRun;
    if (s.options.Has(SFXOptsEnum::SFXNoSuccessMsg)) bits |= sfxbit::kNoSuccessMsg;
    return bits;
}

std::string BuildSfxBlock(const SfxSettings& s) {
    const std::size_t length = SfxBlockLength(s);
    std::string block = "MPV";
    block += static_cast<char>(SfxOptionBits(s));
    block += static_cast<char>(kBlockVersionHigh);
    block += static_cast<char>(kBlockVersionLow);
    block += static_cast<char>(length & 0xFF);
    block += static_cast<char>((length >> 8) & 0xFF);
    for (int i = 0; i < 4; ++i) {
        const std::string& text = *TextsOf(s, i);
        block += static_cast<char>(text.size());
        block += text;
    }
    block.resize(length, '\0');
    return block;
}

std::optional<SfxSettings> ParseSfxBlock(std::string_view data, const SfxSettings& base) {
    if (data.size() < 7 || data[0] != 'M' || data[1] != 'P' || (data[2] != 'V' && data[2] != 'U'))
        return std::nullopt;
    const bool older = data[2] == 'U';
    const auto bits = static_cast<std::uint8_t>(data[3]);
    SfxSettings s = base;
    auto set = [&](SFXOptsEnum option, bool on) {
        on ? s.options.Include(option) : s.options.Exclude(option);
    };
    set(SFXOptsEnum::SFXAskCmdLine, bits & sfxbit::kAskCmdLine);
    set(SFXOptsEnum::SFXAskFiles, bits & sfxbit::kAskFiles);
    set(SFXOptsEnum::SFXHideOverWriteBox, bits & sfxbit::kHideOverWriteBox);
    set(SFXOptsEnum::SFXCheckSize, !(bits & sfxbit::kNoCheckSize));
    set(SFXOptsEnum::SFXAutoRun, bits & sfxbit::kAutoRun);
    if (!older) set(SFXOptsEnum::SFXNoSuccessMsg, bits & sfxbit::kNoSuccessMsg);
    s.overwrite = (bits & sfxbit::kOverwriteAlways)  ? OvrOpts::OvrAlways
                  : (bits & sfxbit::kOverwriteNever) ? OvrOpts::OvrNever
                                                     : OvrOpts::OvrConfirm;
    std::string* texts[] = {&s.caption, &s.defaultDir, &s.commandLine, &s.message};
    if (older) {
        // Three lengths at 4, 5, 6, the texts one after the other from 7.
        std::size_t pos = 7;
        for (int i = 0; i < 3; ++i) {
            const auto n = static_cast<std::uint8_t>(data[4 + i]);
            if (pos + n > data.size()) return std::nullopt;
            texts[i]->assign(data.substr(pos, n));
            pos += n;
        }
        return s;
    }
    std::size_t pos = 8;
    for (int i = 0; i < 4; ++i) {
        if (pos >= data.size()) return std::nullopt;
        const auto n = static_cast<std::uint8_t>(data[pos++]);
        if (pos + n > data.size()) return std::nullopt;
        texts[i]->assign(data.substr(pos, n));
        pos += n;
    }
    return s;
}

std::size_t FindSfxBlock(std::string_view data) {
    for (std::size_t i = 0; i + 2 < data.size(); ++i)
        if (data[i] == 'M' && data[i + 1] == 'P' && (data[i + 2] == 'U' || data[i + 2] == 'V')) return i;
    return std::string_view::npos;
}

}  // namespace vpk
