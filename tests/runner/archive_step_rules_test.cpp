#include <gtest/gtest.h>

#include "runner/sfx_command_rule.h"

namespace vpk {
namespace {

TEST(SfxCommandLineTest, CommandInsideTheDataFolderBecomesRelative) {
    const struct {
        const char* command;
        const char* data;
        bool storePaths;
        const char* expected;
    } cases[] = {
        {"C:\\DATA\\SETUP.EXE", "c:\\data\\", false, "><SETUP.EXE"},
        {"C:\\DATA\\SETUP.EXE", "c:\\data\\", true, "><DATA\\SETUP.EXE"},
        {"c:\\tools\\run.exe", "c:\\data\\", true, "C:\\TOOLS\\RUN.EXE"},
        {"notepad", "", false, "NOTEPAD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SfxCommandLine(c.command, c.data, c.storePaths), c.expected) << c.command;
}

TEST(SfxMessageTest, BoxTypeGivesTheLeadingCharacter) {
    EXPECT_EQ(SfxMessage(1, "Hi"), "Hi");
    EXPECT_EQ(SfxMessage(2, "Hi"), "\x01Hi");
    EXPECT_EQ(SfxMessage(3, "Hi"), "\x02Hi");
}

TEST(DiskLabelTest, RotationLabelsCountUsesAndKeepTheirDay) {
    const struct {
        const char* label;
        int today;
        bool rotation;
        const char* parsed;
        const char* next;
        int day;
    } cases[] = {
        {"VPK-12-3", 3, true, "VPK-12-3", "VPK-13-3", 3},
        {"vpk-12-3", 4, true, "VPK-12-3", "VPK-13-3", 3},   // Wednesday: the disk still says Tuesday
        {"VPK-12-3", 4, false, "VPK-12-3", "VPK-13-3", 4},  // without rotation every disk is today's
        {" ", 5, true, "VPK-0-0", "VPK-1-5", 5},
        {"BACKUP", 2, false, "VPK-0-0", "VPK-1-2", 2},
    };
    for (const auto& c : cases) {
        const DiskLabelInfo info = ParseDiskLabel(c.label, c.today, c.rotation);
        EXPECT_EQ(info.label, c.parsed) << c.label;
        EXPECT_EQ(info.newLabel, c.next) << c.label;
        EXPECT_EQ(info.day, c.day) << c.label << " " << c.today;
    }
}

}  // namespace
}  // namespace vpk
