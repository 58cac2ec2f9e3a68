#pragma once
// Option sets and enumerations of TZipEngine. Member order is the set-bit and value order: the command
// builder walks AddStoreSuffixEnum in this order, and the SFX block stores option bits by position.
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace vpk {

// A set of enumeration members, one bit per member value (at most 32 members).
template <typename E>
class EnumSet {
  public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> members) {
        for (E m : members) Include(m);
    }
    constexpr bool Has(E m) const { return (bits_ >> static_cast<unsigned>(m)) & 1u; }
    constexpr void Include(E m) { bits_ |= 1u << static_cast<unsigned>(m); }
    constexpr void Exclude(E m) { bits_ &= ~(1u << static_cast<unsigned>(m)); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr bool operator==(const EnumSet&) const = default;

  private:
    std::uint32_t bits_ = 0;
};

enum class AddOptsEnum {
    AddDirNames,
    AddRecurseDirs,
    AddMove,
    AddFreshen,
    AddUpdate,
    AddZipTime,
    AddForceDOS,
    AddHiddenFiles,
    AddArchiveOnly,
    AddResetArchive,
    AddEncrypt,
    AddSeparateDirs,
    AddDiskSpan,
    AddDiskSpanErase
};
using AddOpts = EnumSet<AddOptsEnum>;

enum class ExtrOptsEnum { ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest };
using ExtrOpts = EnumSet<ExtrOptsEnum>;

enum class SFXOptsEnum {
    SFXAskCmdLine,
    SFXAskFiles,
    SFXAutoRun,
    SFXHideOverWriteBox,
    SFXCheckSize,
    SFXNoSuccessMsg
};
using SFXOpts = EnumSet<SFXOptsEnum>;

enum class OvrOpts { OvrConfirm, OvrAlways, OvrNever };
enum class CodePageOpts { cpAuto, cpNone, cpOEM };
enum class DeleteOpts { htdFinal, htdAllowUndo };

enum class AddStoreSuffixEnum {
    assGIF,
    assPNG,
    assZ,
    assZIP,
    assZOO,
    assARC,
    assLZH,
    assARJ,
    assTAZ,
    assTGZ,
    assLHA,
    assEXE
};
using AddStoreSuffixSet = EnumSet<AddStoreSuffixEnum>;
inline constexpr int kStoreSuffixCount = 12;
// The extension each member stands for, without the dot.
constexpr std::string_view StoreSuffixText(AddStoreSuffixEnum s) {
    constexpr std::string_view kTexts[kStoreSuffixCount] = {"gif", "png", "z",   "zip", "zoo", "arc",
                                                            "lzh", "arj", "taz", "tgz", "lha", "exe"};
    return kTexts[static_cast<int>(s)];
}

// Every suffix but "exe": program files compress well, the others are compressed already.
constexpr AddStoreSuffixSet DefaultStoreSuffixes() {
    AddStoreSuffixSet all;
    for (int i = 0; i < kStoreSuffixCount; ++i) all.Include(static_cast<AddStoreSuffixEnum>(i));
    all.Exclude(AddStoreSuffixEnum::assEXE);
    return all;
}

enum class ProgressType { FileStart = 0, BytesDone = 1, BatchEnd = 2, FileTotal = 3, SizeTotal = 4 };

}  // namespace vpk
