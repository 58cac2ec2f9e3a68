#include "model/text_fields.h"

#include <gtest/gtest.h>

namespace vpk {
namespace {

struct FieldCase {
    const char* sep;
    const char* s;
    const char* afterFirst;
    const char* afterLast;
    const char* beforeFirst;
    int count;
};

TEST(TextFields, SeparatorRoutines) {
    const FieldCase cases[] = {
        // Two '=' on one line: AfterLast gives the text after the second.
        {"=", "1=C:\\a=b.txt", "C:\\a=b.txt", "b.txt", "1", 2},
        // An entry with flags: BeforeFirst("<>") gives the entry without them.
        {"<>", "C:\\DATA\\*.*<>11", "11", "11", "C:\\DATA\\*.*", 1},
        // A separator that does not occur gives empty texts.
        {"|", "abc", "", "", "", 0},
        {"|", "", "", "", "", 0},
        {"", "abc", "", "", "", 0},
        // Whole-string separators, case matters, non-overlapping count.
        {"(app)", "(APP)x(app)y(app)z", "y(app)z", "z", "(APP)x", 2},
        {"aa", "aaaa", "aa", "", "", 2},
        {"|", "|a|b", "a|b", "b", "", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sep) + " in " + c.s);
        EXPECT_EQ(AfterFirst(c.sep, c.s), c.afterFirst);
        EXPECT_EQ(AfterLast(c.sep, c.s), c.afterLast);
        EXPECT_EQ(BeforeFirst(c.sep, c.s), c.beforeFirst);
        EXPECT_EQ(CountOf(c.sep, c.s), c.count);
    }
}

TEST(TextFields, FieldOfCountsFromZeroWithSeparatorAppended) {
    struct Case {
        const char* sep;
        const char* s;
        int n;
        const char* field;
    } cases[] = {
        {"|", "|a|b", 0, ""},
        {"|", "|a|b", 1, "a"},
        {"|", "|a|b", 2, "b"},
        {"|", "|a|b", 3, ""},
        {";", "one", 0, "one"},
        {";", "one;;three", 1, ""},
        {";", "one;;three", 2, "three"},
        {"<>", "x<>y<>", 1, "y"},
        {"|", "a|b", -1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FieldOf(c.sep, c.s, c.n), c.field) << c.s << " field " << c.n;
}

TEST(TextFields, DirAndNameOfPaths) {
    struct Case {
        const char* path;
        const char* dir;
        const char* name;
    } cases[] = {
        {"C:\\DATA\\report.final.doc", "C:\\DATA", "report"},
        {"C:\\DATA\\", "C:\\DATA", ""},
        {"C:\\VPK\\Vpk\\!Compta.vpk", "C:\\VPK\\Vpk", "!Compta"},
        {"README", "", "README"},
        {"\\x.txt", "", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirOf(c.path), c.dir) << c.path;
        EXPECT_EQ(NameWithoutExtension(c.path), c.name) << c.path;
    }
}

TEST(TextFields, IsAllDigits) {
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0151"));
    EXPECT_FALSE(IsAllDigits("15a"));
    EXPECT_FALSE(IsAllDigits(" 7"));
    EXPECT_FALSE(IsAllDigits("-1"));
}

}  // namespace
}  // namespace vpk
