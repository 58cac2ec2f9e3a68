// The repair as the window and the vpk tool run it, on files of a temporary installation.
#include "repair/zip_fix_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "zip_fixture.h"

namespace vpk {
namespace {

struct Recorder {
    std::vector<std::string> lines;
    std::vector<std::string> boxes;
    ZipFixRun Run() {
        return ZipFixRun(
            [](std::string_view key) { return "<" + std::string(key) + (key == "000760" ? " %d/%d>" : ">"); },
            [this](const std::string& line) { lines.push_back(line); },
            [this](const std::string& text) { boxes.push_back(text); });
    }
};

class ZipFixRunTest : public ::testing::Test {
  protected:
    test::TestInstallation installation;
    std::string Host(const std::string& name) const { return installation.DriveHost('C') + "/" + name; }
};

TEST_F(ZipFixRunTest, RepairsIntoTheDestinationAndLogsEveryEntry) {
    test::ZipBuilder zip;
    zip.Add({.name = "a.txt", .data = "alpha"})
        .Add({.name = std::string(81, 'x'), .data = "b"})
        .Add({.name = "c.txt", .data = "gamma"});
    test::WriteHostFile(Host("save/backup.zip"), zip.Local());
    test::WriteHostFile(Host("save/backupSOS.zip"), "old contents");
    Recorder recorder;
    auto run = recorder.Run();
    ASSERT_EQ(run.ZipFix("C:\\SAVE\\BACKUP.ZIP", "C:\\save\\backupSOS.zip"), ZipFixRun::Outcome::Repaired);
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"a.txt\t<000755>", "??filename??\t<000750>",
                                                        "c.txt\t<000755>", "", "<000760 2/3>"}));
    EXPECT_TRUE(recorder.boxes.empty());
    const auto listed = test::ListWithPython(Host("save/backupSOS.zip"));
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->size(), 2u);
    // Counters start again with every repair.
    recorder.lines.clear();
    ASSERT_EQ(run.ZipFix("C:\\save\\backup.zip", "C:\\save\\backupSOS.zip"), ZipFixRun::Outcome::Repaired);
    EXPECT_EQ(recorder.lines.back(), "<000760 2/3>");
}

TEST_F(ZipFixRunTest, NothingFoundGivesAnEmptyDestinationAndZeroCounts) {
    test::WriteHostFile(Host("junk.zip"), std::string(5000, 'j'));
    Recorder recorder;
    auto run = recorder.Run();
    ASSERT_EQ(run.ZipFix("C:\\junk.zip", "C:\\junkSOS.zip"), ZipFixRun::Outcome::Repaired);
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"", "<000760 0/0>"}));
    EXPECT_EQ(test::ReadHostFile(Host("junkSOS.zip")), "");
}

TEST_F(ZipFixRunTest, RefusalsLeaveTheDestinationAlone) {
    test::WriteHostFile(Host("backup.zip"),
                        test::ZipBuilder().Add({.name = "a.txt", .data = std::string(4000, 'a')}).Local());
    test::WriteHostFile(Host("backupSOS.zip"), "keep me");
    installation.AddDrive('A', "removable", 1000);
    installation.Apply();
    Recorder recorder;
    auto run = recorder.Run();
    EXPECT_EQ(run.ZipFix("C:\\missing.zip", "C:\\missingSOS.zip"), ZipFixRun::Outcome::SourceMissing);
    EXPECT_FALSE(test::HostExists(Host("missingSOS.zip")));
    // The destination drive is the one that needs the room.
    EXPECT_EQ(run.ZipFix("C:\\backup.zip", "A:\\backupSOS.zip"), ZipFixRun::Outcome::NotEnoughSpace);
    EXPECT_EQ(recorder.boxes, std::vector<std::string>{"<000745>"});
    EXPECT_FALSE(test::HostExists(installation.DriveHost('A') + "/backupSOS.zip"));
    // Never over the source itself, and a destination folder that does not exist fails cleanly.
    EXPECT_EQ(run.ZipFix("C:\\backup.zip", "C:\\BACKUP.ZIP"), ZipFixRun::Outcome::Failed);
    EXPECT_EQ(run.ZipFix("C:\\backup.zip", "C:\\nowhere\\backupSOS.zip"), ZipFixRun::Outcome::Failed);
    EXPECT_EQ(recorder.boxes.size(), 3u);
    EXPECT_EQ(test::ReadHostFile(Host("backupSOS.zip")), "keep me");
    EXPECT_TRUE(recorder.lines.empty());
}

}  // namespace
}  // namespace vpk
