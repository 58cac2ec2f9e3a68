#include "model/query_entry.h"

#include "model/exclusion_value.h"
#include "model/path_routines.h"
#include "model_fixture.h"

namespace vpk {
namespace {

TEST(ExclusionValueTest, ReadsEachPieceAfterABar) {
    struct Case {
        const char* value;
        std::vector<std::string> patterns;
    } cases[] = {
        {"", {}},
        {"|*.tmp", {"*.tmp"}},
        {"|ab|b", {"ab", "b"}},  // the second is the tail of the first
        {"|b|ab", {"b", "ab"}},
        {"|*.tmp||*.bak|", {"*.tmp", "*.bak"}},
        {"*.old|*.tmp", {"*.old", "*.tmp"}},  // typed by hand without the leading bar
    };
    for (const auto& c : cases) EXPECT_EQ(ExclusionPatterns(c.value), c.patterns) << c.value;
    EXPECT_EQ(ExclusionValue({"ab", "b"}), "|ab|b");
    EXPECT_EQ(ExclusionValue({"", "x", ""}), "|x");
    EXPECT_EQ(ExclusionValue({}), "");
    EXPECT_EQ(ExclusionsForRun({"*.tmp", "cache\\*.*"}, "C:\\DATA", true),
              (std::vector<std::string>{"C:\\DATA\\*.tmp", "C:\\DATA\\cache\\*.*"}));
    EXPECT_EQ(ExclusionsForRun({"*.tmp"}, "C:\\DATA\\", false), std::vector<std::string>{"*.tmp"});
    EXPECT_EQ(ExclusionPatterns(ExclusionValue({"C:\\TEMP\\*.*", "~*.doc"})),
              (std::vector<std::string>{"C:\\TEMP\\*.*", "~*.doc"}));
}

TEST(QueryEntryTest, FlagsInForceBeforeAnEntry) {
    const std::vector<std::string> entries = {
        "C:\\DATA\\single.txt",  // before any flagged entry: the query's own flags
        "C:\\DATA\\*.*<>01",     // no stored paths, sub-folders
        "C:\\DATA\\other.txt",   // inherits 01
        "C:\\DOCS\\*.doc<>10",
        "C:\\DOCS\\x.doc",  // inherits 10
        "C:\\ODD\\*.*<>1",  // one digit: sub-folders as in force (off)
        "C:\\ODD\\y.txt",
    };
    const auto resolved = ResolveEntryFlags(entries, EntryFlags{true, true});
    const std::vector<std::pair<std::string, EntryFlags>> expected = {
        {"C:\\DATA\\single.txt", {true, true}}, {"C:\\DATA\\*.*", {false, true}},
        {"C:\\DATA\\other.txt", {false, true}}, {"C:\\DOCS\\*.doc", {true, false}},
        {"C:\\DOCS\\x.doc", {true, false}},     {"C:\\ODD\\*.*", {true, false}},
        {"C:\\ODD\\y.txt", {true, false}},
    };
    ASSERT_EQ(resolved.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(resolved[i].path, expected[i].first) << i;
        EXPECT_EQ(resolved[i].flags, expected[i].second) << i;
    }
    EXPECT_EQ(ResolveEntryFlags({"a.txt"}, EntryFlags{false, false})[0].flags, (EntryFlags{false, false}));
    EXPECT_EQ(WithEntryFlags("C:\\DATA\\*.*", {true, true}), "C:\\DATA\\*.*<>11");
    EXPECT_EQ(WithEntryFlags("C:\\DATA\\*.*", {false, true}), "C:\\DATA\\*.*<>01");
    EXPECT_EQ(EntryVisibleName("C:\\DATA\\*.*<>11"), "C:\\DATA\\*.*");
    EXPECT_EQ(EntryVisibleName("C:\\DATA\\a.txt"), "C:\\DATA\\a.txt");
}

class FullEntriesTest : public test::ModelTest {};

TEST_F(FullEntriesTest, AbsoluteKeptRelativeCompleted) {
    const std::vector<std::string> stored = {"D:\\ALL\\*.*<>11", "(app)data\\*.db<>10", "(win)\\win.ini",
                                             "notes.txt"};
    EXPECT_EQ(FullEntries(stored, "C:\\APP\\"),
              (std::vector<std::string>{"D:\\ALL\\*.*<>11", "C:\\APP\\data\\*.db<>10",
                                        WindowsFolder() + "\\win.ini", "C:\\APP\\notes.txt"}));
}

}  // namespace
}  // namespace vpk
