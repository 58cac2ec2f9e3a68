#include "model/history_list.h"

#include "model_fixture.h"

namespace vpk {
namespace {

using test::ModelTest;

class HistoryListTest : public ModelTest {};

TEST_F(HistoryListTest, LoadKeepsNonEmptyEntriesAndTheLastText) {
    // An empty entry is dropped; an entry after a gap in the numbers is kept.
    WriteSettings(
        "[HistoryNOParmDir]\nn0=C:\\SAVE\\\nn1=\nn2=D:\\\nlast=D:\\\nn9=E:\\\n"
        "[newdir]\nn0=A:\\\nn1=B:\\\n");
    HistoryList box;
    LoadHistory(box, Settings(), "historynoparmdir", "");
    EXPECT_EQ(box.Entries(), (std::vector<std::string>{"C:\\SAVE\\", "D:\\", "E:\\"}));
    EXPECT_EQ(box.Text(), "D:\\");
    EXPECT_EQ(box.Caret(), 3u);  // a bare drive root: the caret goes after it

    // Without "last" the first entry is shown.
    HistoryList other;
    LoadHistory(other, Settings(), "newdir", "C:\\");
    EXPECT_EQ(other.Entries().size(), 2u);
    EXPECT_EQ(other.Text(), "A:\\");
}

TEST_F(HistoryListTest, MissingSectionGivesTheDefaultOrLeavesTheBox) {
    HistoryList box;
    box.SetEntries({"kept"});
    box.SetText("kept");
    LoadHistory(box, Settings(), "HWC", "");
    EXPECT_EQ(box.Entries(), std::vector<std::string>{"kept"});
    EXPECT_EQ(box.Text(), "kept");

    LoadHistory(box, Settings(), "HWC", "*.*");
    EXPECT_EQ(box.Entries(), std::vector<std::string>{"*.*"});
    EXPECT_EQ(box.Text(), "*.*");
    EXPECT_EQ(box.Caret(), 0u);
}

TEST_F(HistoryListTest, SaveDropsBlankEntriesAndRoundTrips) {
    WriteSettings("[general]\nlang=English\n[cutdir]\nn0=old\nn7=stale\nlast=old\n");
    HistoryList box;
    box.SetEntries({"C:\\A\\", "", "   ", "E:\\B\\"});
    box.SetText("E:\\B\\");
    SaveHistory(box, Settings(), "cutdir");
    EXPECT_EQ(SettingsText(), "[general]\nlang=English\n[cutdir]\nn0=C:\\A\\\nn1=E:\\B\\\nlast=E:\\B\\\n");

    HistoryList back;
    LoadHistory(back, Settings(), "cutdir", "");
    EXPECT_EQ(back.Entries(), (std::vector<std::string>{"C:\\A\\", "E:\\B\\"}));
    EXPECT_EQ(back.Text(), "E:\\B\\");

    // An empty list writes nothing.
    SaveHistory(HistoryList(), Settings(), "cutdir");
    EXPECT_EQ(SettingsText(), "[general]\nlang=English\n[cutdir]\nn0=C:\\A\\\nn1=E:\\B\\\nlast=E:\\B\\\n");
}

TEST_F(HistoryListTest, AddToHistoryIgnoresCaseAndBlanks) {
    HistoryList box;
    box.SetEntries({"C:\\Save\\"});
    for (const char* text : {"c:\\SAVE\\", "", "  ", "D:\\New\\", "d:\\new\\"}) {
        box.SetText(text);
        AddToHistory(box);
        EXPECT_EQ(box.Text(), text);
    }
    EXPECT_EQ(box.Entries(), (std::vector<std::string>{"C:\\Save\\", "D:\\New\\"}));
}

TEST_F(HistoryListTest, FillDrivesShowsTheSecondRoot) {
    HistoryList box;
    FillDrives(box);
    ASSERT_FALSE(box.Entries().empty());
    EXPECT_EQ(box.Entries().front(), "C:\\");
    install_.AddDrive('A', "removable");
    install_.AddDrive('E');
    FillDrives(box);
    std::vector<std::string> roots = box.Entries();
    ASSERT_GE(roots.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(roots.begin(), roots.begin() + 3),
              (std::vector<std::string>{"A:\\", "C:\\", "E:\\"}));
    EXPECT_EQ(box.Text(), "C:\\");
}

}  // namespace
}  // namespace vpk
