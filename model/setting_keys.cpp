#include "model/setting_keys.h"

#include <array>
#include <string>
#include <variant>

#include "platform/text_codec.h"

namespace vpk {

namespace {

using AnySetting = std::variant<FlagSetting, IntegerSetting, TextSetting>;

namespace s = settings;

// Every key of setting_keys.h, so that each is found by name.
constexpr AnySetting kAllSettings[] = {
    s::general::kLang,
    s::general::kMainMnu,
    s::general::kWav,
    s::general::kAutomate,
    s::general::kGif,
    s::general::kDm,
    s::general::kVHint,
    s::general::kDskTurnGame,
    s::general::kVoirZip,
    s::general::kTray,
    s::general::kLog,
    s::general::kLong,
    s::general::kPostWarp,
    s::general::kPostReadOnly,
    s::general::kShowScroll,
    s::general::kShowPostIt,
    s::general::kShowBtnQ,
    s::general::kShowBtnH,
    s::general::kShowBtnF,
    s::general::kPostCl1,
    s::general::kPostCl2,
    s::general::kTimeoutSec,
    s::general::kSplit,
    s::general::kLogLine,
    s::general::kLnkStart,
    s::general::kLnkOther,
    s::general::kBStartSav,
    s::general::kBOtherLnk,
    s::general::kBLnkAll,
    s::general::kBLnkCfg,
    s::general::kLnkResta,
    s::general::kBLnkPro,
    s::general::kLnkCfg,
    s::general::kLnkSpan,
    s::general::kLnkPro,
    s::admini::kE,
    s::admini::kF,
    s::admini::kC,
    s::admini::kA,
    s::admini::kD,
    s::admini::kN,
    s::admini::kZ,
    s::admini::kR,
    s::admini::kL,
    s::admini::kO,
    s::admini::kS,
    s::admini::kPassw,
    s::div::kDateInstall,
    s::icoidx::kAll,
    s::icoidx::kSys,
    s::icoidx::kSpan,
    s::icoidx::kPro,
    s::icoidx::kVpk,
    s::explo::kTop,
    s::explo::kLeft,
    s::explo::kWidth,
    s::explo::kHeight,
    s::explo::kSub,
    s::explo::kPath,
    s::explo::kLevel,
    s::explo::kPsw,
    s::explo::kAskDel,
    s::explo::kAskAdd,
    s::explo::kFTop,
    s::explo::kExploExtr,
    s::explo::kMsgExtr,
    s::wzd::kDest,
    s::wzd::kSubDir,
    s::wzd::kStorePath,
    s::wzd::kSfx,
    s::wzd::kPass,
    s::wzd::kQw95,
    s::wzd::kMsgSfx,
    s::wzd::kChgLst,
    s::wzd::kAutoRun,
    s::wzd::kSow,
    s::wzd::kDate,
    s::wzd::kUpdate,
    s::wzd::kAutoClose,
    s::wzd::kEject,
    s::wzd::kEndMsg,
    s::wzd::kLevel,
    s::wzd::kMaxFile,
    s::wzd::kNote,
    s::wzd::kSmsg,
    s::wzd::kSTitre,
    s::wzd::kScmd,
    s::wzd::kIBoxMsg,
    s::wzd::kIcoName,
    s::wzd::kIcoIndex,
    s::wzd::kSpath,
    s::wzd::kGifAnime,
    s::wzd::kImg,
    s::schedule::kRunServiceWzd,
    s::schedule::kWizardWzd,
};

constexpr HistorySection kAllHistories[] = {
    s::history::kMainDestination,  s::history::kNewArchiveFolder,  s::history::kFileMasks,
    s::history::kExtractFolder,    s::history::kSplitDestination,  s::history::kRestoreDestination,
    s::history::kFirstPieceFolder, s::history::kWizardDestination, s::history::kWizardExclusions,
};

SettingInfo InfoOf(const FlagSetting& k) {
    return {k.section, k.key, SettingType::Flag, k.defaultValue ? "1" : "0"};
}
SettingInfo InfoOf(const IntegerSetting& k) {
    return {k.section, k.key, SettingType::Integer, std::to_string(k.defaultValue)};
}
SettingInfo InfoOf(const TextSetting& k) {
    return {k.section, k.key, SettingType::Text, std::string(k.defaultValue)};
}

}  // namespace

std::optional<SettingInfo> FindSetting(std::string_view section, std::string_view key) {
    for (const AnySetting& any : kAllSettings) {
        SettingInfo info = std::visit([](const auto& k) { return InfoOf(k); }, any);
        if (SameText(info.section, section) && SameText(info.key, key)) return info;
    }
    return std::nullopt;
}

std::span<const HistorySection> AllHistorySections() {
    return kAllHistories;
}

}  // namespace vpk
