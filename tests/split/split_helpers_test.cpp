// The small rules the writer and reader are built from: percentages, piece names, targets, the
// overwrite rule, the "/s" switch and stored strings.
#include <gtest/gtest.h>

#include <optional>

#include "split/backup_file.h"
#include "split/file_selection.h"
#include "split/piece_name.h"
#include "split/progress_percent.h"
#include "split/restore_target.h"
#include "split/stored_text.h"

namespace vpk::split {
namespace {

TEST(ProgressPercentTest, RoundsHalvesToEvenAndClamps) {
    struct Row {
        std::uint64_t done;
        std::int64_t total;
        int percent;
    } rows[] = {
        {0, 1000, 0},
        {5, 1000, 0},
        {15, 1000, 2},
        {25, 1000, 2},
        {35, 1000, 4},
        {6, 1000, 1},
        {995, 1000, 100},
        {985, 1000, 98},
        {1, 3, 33},
        {2, 3, 67},
        {1000, 1000, 100},
        {2000, 1000, 100},  // a file that grew since it was sized
        {0, 0, 100},
        {10, -5, 100},  // nothing to do; a damaged header
        {0x7FFFFFFFull * 3, 0x7FFFFFFFll * 4, 75},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ProgressPercent(row.done, row.total), row.percent) << row.done << " of " << row.total;
    }
}

TEST(PieceNameTest, ReplacesTheExtensionWithThreeDigits) {
    struct Row {
        const char* first;
        int piece;
        const char* name;
    } rows[] = {
        {"C:\\out\\big.001", 1, "C:\\out\\big.001"},
        {"C:\\out\\big.001", 2, "C:\\out\\big.002"},
        {"C:\\out\\big.001", 37, "C:\\out\\big.037"},
        {"C:\\out\\big.001", 999, "C:\\out\\big.999"},
        {"C:\\out\\archive.zip", 12, "C:\\out\\archive.012"},
        {"C:\\out.d\\noext", 2, "C:\\out.d\\noext.002"},  // a dot in a folder is not an extension
        {"C:\\out\\a.b.c", 3, "C:\\out\\a.b.003"},
    };
    for (const auto& row : rows) EXPECT_EQ(PieceName(row.first, row.piece), row.name) << row.piece;
    EXPECT_EQ(PieceDigits(1000), "000");
}

TEST(PieceNameTest, ReadsOnlyThreeDecimalDigits) {
    struct Row {
        const char* digits;
        int number;
    } rows[] = {{"002", 2},  {"999", 999}, {"000", 1000}, {"02", -1}, {"0002", -1},
                {"/..", -1}, {"1a2", -1},  {"", -1},      {" 12", -1}};
    for (const auto& row : rows) EXPECT_EQ(PieceNumberFromDigits(row.digits), row.number) << row.digits;
}

TEST(RestoreTargetTest, BuildsTargetsAndNeverLeavesTheDestination) {
    struct Row {
        const char* stored;
        const char* dest;
        bool fullPath;
        std::optional<std::string> target;
    } rows[] = {
        {"c:\\data\\a.txt", "D:\\out\\", false, "D:\\out\\a.txt"},
        {"c:\\data\\a.txt", "D:\\out\\", true, "D:\\out\\data\\a.txt"},
        {"c:\\data\\a.txt", "", false, "c:\\data\\a.txt"},
        {"c:\\data\\a.txt", "", true, "c:\\data\\a.txt"},
        {"c:\\..\\..\\etc\\passwd", "D:\\out\\", true, "D:\\out\\etc\\passwd"},
        {"c:\\data\\..", "D:\\out\\", false, std::nullopt},
        {"c:\\data\\../../x", "D:\\out\\", false, "D:\\out\\x"},
        {"c:\\a\\/b//c", "D:\\out\\", true, "D:\\out\\a\\b\\c"},
        {"c:\\", "D:\\out\\", true, std::nullopt},
        {"c:\\data\\", "D:\\out\\", false, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RestoreTargetName(row.stored, row.dest, row.fullPath), row.target)
            << row.stored << " into " << row.dest << (row.fullPath ? " full path" : "");
    }
}

TEST(RestoreTargetTest, OverwriteRuleForEveryMode) {
    constexpr std::uint32_t kStored = 0x5A000000;
    const std::optional<std::uint32_t> missing;
    const std::optional<std::uint32_t> older = kStored - 1, same = kStored, newer = kStored + 1;
    // A date after 2044 has the top bit set; it is still later than any earlier date.
    const std::optional<std::uint32_t> far = 0x90000000u;
    struct Row {
        TRestoreMode mode;
        bool missing, older, same, newer, far;
    } rows[] = {
        {TRestoreMode::rmAll, true, true, true, true, true},
        {TRestoreMode::rmNoOverwrite, true, false, false, false, false},
        {TRestoreMode::rmNewer, true, true, false, false, false},
        {TRestoreMode::rmExisting, false, true, true, true, true},
        {TRestoreMode::rmExistingNewer, false, true, false, false, false},
    };
    for (const auto& row : rows) {
        const int mode = static_cast<int>(row.mode);
        EXPECT_EQ(ShouldRestore(row.mode, missing, kStored), row.missing) << mode;
        EXPECT_EQ(ShouldRestore(row.mode, older, kStored), row.older) << mode;
        EXPECT_EQ(ShouldRestore(row.mode, same, kStored), row.same) << mode;
        EXPECT_EQ(ShouldRestore(row.mode, newer, kStored), row.newer) << mode;
        EXPECT_EQ(ShouldRestore(row.mode, far, kStored), row.far) << mode;
    }
}

TEST(FileSelectionTest, RecognisesOnlyATrailingRecursiveSwitch) {
    struct Row {
        const char* spec;
        bool recursive;
        const char* rest;
    } rows[] = {
        {"c:\\data\\*.* /s", true, "c:\\data\\*.*"},
        {"c:\\data\\*.txt/s", true, "c:\\data\\*.txt"},
        {"  c:\\data\\a.txt   /s  ", true, "c:\\data\\a.txt"},
        {"c:\\data\\*.*", false, "c:\\data\\*.*"},
        {"/srv/data/*.txt", false, "/srv/data/*.txt"},  // a host path holding "/s"
        {"/srv/data/s", false, "/srv/data/s"},
        {"/srv/data/*.txt /s", true, "/srv/data/*.txt"},
    };
    for (const auto& row : rows) {
        std::string rest;
        EXPECT_EQ(FileSelection::SplitRecursiveSwitch(row.spec, &rest), row.recursive) << row.spec;
        EXPECT_EQ(rest, row.rest) << row.spec;
    }
}

TEST(StoredTextTest, KeepsEveryNameThroughTheWindowsCodePage) {
    // Plain text and 1252-spellable names are stored as 1252 (what Windows containers hold); a name
    // 1252 cannot spell, or whose 1252 bytes would read back as UTF-8, is stored as UTF-8.
    struct Row {
        const char* name;
        const char* stored;
    } rows[] = {
        {"c:\\data\\a.txt", "c:\\data\\a.txt"},
        {"c:\\donn\xC3\xA9"
         "es",
         "c:\\donn\xE9"
         "es"},
        {"c:\\\xD0\xB4\xD0\xB0", "c:\\\xD0\xB4\xD0\xB0"},  // Cyrillic: no 1252 form
        {"c:\\\xC3\x83\xC2\xA9", "c:\\\xC3\x83\xC2\xA9"},  // "Ã©": its 1252 bytes C3 A9 are UTF-8
    };
    for (const auto& row : rows) {
        EXPECT_EQ(EncodeStoredText(row.name), row.stored) << row.name;
        EXPECT_EQ(DecodeStoredText(EncodeStoredText(row.name)), row.name) << row.name;
    }
    EXPECT_EQ(DecodeStoredText("caf\xE9"), "caf\xC3\xA9");  // a container written on Windows
}

}  // namespace
}  // namespace vpk::split
