#pragma once
// Every key of vortipak.ini outside the queries, with its type and its default when missing.
// Keys whose default is computed (from the program that reads or from other settings) are read
// through GlobalSettings' named accessors; their constant here holds the plain part of the default.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vpk {

template <typename T>
struct Setting {
    std::string_view section;
    std::string_view key;
    T defaultValue;
};
using FlagSetting = Setting<bool>;
using IntegerSetting = Setting<int>;
using TextSetting = Setting<std::string_view>;

enum class SettingType { Flag, Integer, Text };

// A key found by name: its type and its default as the file would hold it ("1", "20", "French").
struct SettingInfo {
    std::string_view section;
    std::string_view key;
    SettingType type;
    std::string defaultText;
};
// Case-blind lookup of a section and key; nullopt for a name no program reads.
std::optional<SettingInfo> FindSetting(std::string_view section, std::string_view key);

// A history section and the entry it starts with when it holds no key.
struct HistorySection {
    std::string_view section;
    std::string_view defaultEntry;
};

namespace settings {

namespace general {
inline constexpr TextSetting kLang{"general", "lang", "French"};
inline constexpr FlagSetting kMainMnu{"general", "mainmnu", false};
inline constexpr FlagSetting kWav{"general", "wav", true};
inline constexpr FlagSetting kAutomate{"general", "automate", true};  // off for the wizard
inline constexpr FlagSetting kGif{"general", "gif", true};
inline constexpr FlagSetting kDm{"general", "dm", true};
inline constexpr FlagSetting kVHint{"general", "vhint", true};
inline constexpr FlagSetting kDskTurnGame{"general", "DskTurnGame", false};
inline constexpr FlagSetting kVoirZip{"general", "voirzip", true};
inline constexpr FlagSetting kTray{"general", "tray", false};
inline constexpr FlagSetting kLog{"general", "log", true};
inline constexpr FlagSetting kLong{"general", "long", false};
inline constexpr FlagSetting kPostWarp{"general", "postwarp", true};
inline constexpr FlagSetting kPostReadOnly{"general", "postreadonly", false};
inline constexpr FlagSetting kShowScroll{"general", "showscroll", false};
inline constexpr FlagSetting kShowPostIt{"general", "showpostit", false};
inline constexpr FlagSetting kShowBtnQ{"general", "showbtnq", true};
inline constexpr FlagSetting kShowBtnH{"general", "showbtnh", true};
inline constexpr FlagSetting kShowBtnF{"general", "showbtnf", true};
inline constexpr IntegerSetting kPostCl1{"general", "postcl1", -2147483633};  // system button face
inline constexpr IntegerSetting kPostCl2{"general", "postcl2", 16711680};     // blue
inline constexpr IntegerSetting kTimeoutSec{"general", "timeoutsec", 20};
inline constexpr IntegerSetting kSplit{"general", "split", 197};
inline constexpr IntegerSetting kLogLine{"general", "logline", 1500};
inline constexpr TextSetting kLnkStart{"general", "lnkstart", "Sauvegardes\\"};
inline constexpr TextSetting kLnkOther{"general", "lnkother", "Sauvez Moi\\"};  // below the desktop
inline constexpr FlagSetting kBStartSav{"general", "bstartsav", true};
inline constexpr FlagSetting kBOtherLnk{"general", "botherlnk", false};
inline constexpr FlagSetting kBLnkAll{"general", "blnkall", true};
inline constexpr FlagSetting kBLnkCfg{"general", "blnkcfg", true};
inline constexpr FlagSetting kLnkResta{"general", "lnkresta", true};
inline constexpr FlagSetting kBLnkPro{"general", "blnkpro", false};
inline constexpr TextSetting kLnkCfg{"general", "lnkcfg", ""};
inline constexpr TextSetting kLnkSpan{"general", "lnkspan", ""};
inline constexpr TextSetting kLnkPro{"general", "lnkpro", ""};
}  // namespace general

// Administrator restrictions: on means allowed.
namespace admini {
inline constexpr FlagSetting kE{"admini", "e", true};        // destination in the file explorer
inline constexpr FlagSetting kF{"admini", "f", true};        // formatting disks
inline constexpr FlagSetting kC{"admini", "c", true};        // creating and editing queries
inline constexpr FlagSetting kA{"admini", "a", true};        // the automation check box
inline constexpr FlagSetting kD{"admini", "d", true};        // clearing the destination history
inline constexpr FlagSetting kN{"admini", "n", true};        // new destination folder
inline constexpr FlagSetting kZ{"admini", "z", true};        // permanent archive password
inline constexpr FlagSetting kR{"admini", "r", true};        // split and restore
inline constexpr FlagSetting kL{"admini", "l", true};        // run-log menus
inline constexpr FlagSetting kO{"admini", "o", true};        // options menu and display options
inline constexpr FlagSetting kS{"admini", "s", true};        // the screen saver may run
inline constexpr TextSetting kPassw{"admini", "passw", ""};  // administrator password digest
}  // namespace admini

namespace div {
inline constexpr TextSetting kDateInstall{"div", "dateinstall", ""};  // permanent password, enciphered
}  // namespace div

// Icon indexes of the shortcuts in "icones.dll".
namespace icoidx {
inline constexpr IntegerSetting kAll{"icoidx", "all", 2};
inline constexpr IntegerSetting kSys{"icoidx", "sys", 3};
inline constexpr IntegerSetting kSpan{"icoidx", "span", 7};
inline constexpr IntegerSetting kPro{"icoidx", "pro", 5};
inline constexpr IntegerSetting kVpk{"icoidx", "vpk", 72};
}  // namespace icoidx

// Archive viewer window.
namespace explo {
inline constexpr IntegerSetting kTop{"explo", "top", 0};
inline constexpr IntegerSetting kLeft{"explo", "left", 0};
inline constexpr IntegerSetting kWidth{"explo", "width", 200};
inline constexpr IntegerSetting kHeight{"explo", "height", 200};
inline constexpr FlagSetting kSub{"explo", "sub", true};
inline constexpr FlagSetting kPath{"explo", "path", true};
inline constexpr IntegerSetting kLevel{"explo", "level", 1};
inline constexpr FlagSetting kPsw{"explo", "psw", false};
inline constexpr FlagSetting kAskDel{"explo", "askdel", true};
inline constexpr FlagSetting kAskAdd{"explo", "askadd", true};
inline constexpr FlagSetting kFTop{"explo", "ftop", true};
inline constexpr FlagSetting kExploExtr{"explo", "exploextr", false};
inline constexpr FlagSetting kMsgExtr{"explo", "msgextr", true};
}  // namespace explo

// The query wizard's last answers.
namespace wzd {
inline constexpr TextSetting kDest{"wzd", "dest", ""};  // then "HistoryCfgDir" "last", then "C:\"
inline constexpr FlagSetting kSubDir{"wzd", "subdir", true};
inline constexpr FlagSetting kStorePath{"wzd", "storepath", true};
inline constexpr FlagSetting kSfx{"wzd", "sfx", false};
inline constexpr FlagSetting kPass{"wzd", "pass", false};
inline constexpr FlagSetting kQw95{"wzd", "qw95", false};
inline constexpr FlagSetting kMsgSfx{"wzd", "msgsfx", false};
inline constexpr FlagSetting kChgLst{"wzd", "chglst", false};
inline constexpr FlagSetting kAutoRun{"wzd", "autorun", false};
inline constexpr FlagSetting kSow{"wzd", "sow", false};
inline constexpr FlagSetting kDate{"wzd", "date", true};
inline constexpr FlagSetting kUpdate{"wzd", "update", true};
inline constexpr FlagSetting kAutoClose{"wzd", "autoclose", true};
inline constexpr FlagSetting kEject{"wzd", "eject", true};
inline constexpr FlagSetting kEndMsg{"wzd", "endmsg", true};
inline constexpr IntegerSetting kLevel{"wzd", "level", 1};
inline constexpr IntegerSetting kMaxFile{"wzd", "maxfile", 5};
inline constexpr TextSetting kNote{"wzd", "note", ""};
inline constexpr TextSetting kSmsg{"wzd", "smsg", ""};
inline constexpr TextSetting kSTitre{"wzd", "stitre", ""};
inline constexpr TextSetting kScmd{"wzd", "scmd", ""};
inline constexpr TextSetting kIBoxMsg{"wzd", "iboxmsg", "2"};
inline constexpr TextSetting kIcoName{"wzd", "iconame", "icones.dll"};  // in the program folder
inline constexpr IntegerSetting kIcoIndex{"wzd", "icoIndex", 0};
inline constexpr TextSetting kSpath{"wzd", "spath", "C:\\"};  // "><": the text of message "010100"
inline constexpr FlagSetting kGifAnime{"wzd", "gifanime", true};
inline constexpr TextSetting kImg{"wzd", "img", ""};
}  // namespace wzd

// Schedule lines of the wizard's defaults (those of queries are kept with the queries).
namespace schedule {
inline constexpr TextSetting kRunServiceWzd{"RunService", "wzd", ""};
inline constexpr TextSetting kWizardWzd{"wizard", "wzd", ""};
}  // namespace schedule

namespace history {
inline constexpr HistorySection kMainDestination{"HistoryNOParmDir", ""};
inline constexpr HistorySection kNewArchiveFolder{"newdir", "C:\\"};
inline constexpr HistorySection kFileMasks{"HWC", "*.*"};
inline constexpr HistorySection kExtractFolder{"HistoryExtrDir", "C:\\"};
inline constexpr HistorySection kSplitDestination{"cutdir", ""};
inline constexpr HistorySection kRestoreDestination{"restoredir", ""};
inline constexpr HistorySection kFirstPieceFolder{"001dir", ""};
inline constexpr HistorySection kWizardDestination{"HistoryCfgDir", "C:\\"};
inline constexpr HistorySection kWizardExclusions{"HistoryExclu", "*.TMP"};
}  // namespace history

}  // namespace settings

// Every history section, for tools that list or clear them.
std::span<const HistorySection> AllHistorySections();

}  // namespace vpk
