#include "model/path_routines.h"

#include "model_fixture.h"
#include "platform/program_paths.h"
#include "platform/registry_store.h"

namespace vpk {
namespace {

using test::ModelTest;

TEST(PathRoutines, Backslashes) {
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash("C:"), "C:\\");
    EXPECT_EQ(AddBackslash("C:\\DATA\\"), "C:\\DATA\\");
    EXPECT_EQ(RemoveBackslash("C:\\DATA\\"), "C:\\DATA");
    EXPECT_EQ(RemoveBackslash("C:\\DATA"), "C:\\DATA");
    EXPECT_EQ(RemoveBackslash(""), "");
}

class ExpandEntryPathTest : public ModelTest {};

TEST_F(ExpandEntryPathTest, EachMacroAndThePlainForm) {
    const std::string win = WindowsFolder();
    const std::string sys = SystemFolder();
    ASSERT_FALSE(win.empty());
    ASSERT_FALSE(sys.empty());
    EXPECT_NE(win.back(), '\\');
    struct Case {
        std::string base, line, expected;
    } cases[] = {
        // "(app)" and no macro give the same path below the application folder.
        {"C:\\APP\\", "1=(app)docs\\*.*<>11", "C:\\APP\\docs\\*.*<>11"},
        {"C:\\APP\\", "1=docs\\*.*<>11", "C:\\APP\\docs\\*.*<>11"},
        // An entry written with a separator after the macro does not get it twice.
        {"C:\\APP\\", "1=(app)\\docs\\a.txt", "C:\\APP\\docs\\a.txt"},
        // "(.)" drops the folder's final '\' before the rest.
        {"C:\\APP\\", "2=(.)\\data\\a.db", "C:\\APP\\data\\a.db"},
        {"C:\\APP\\", "3=(win)\\win.ini", win + "\\win.ini"},
        {"C:\\APP\\", "4=(sys)\\drivers\\x.sys", sys + "\\drivers\\x.sys"},
        // Macros are searched anywhere, in order, and the text after the last one is kept.
        {"C:\\APP\\", "5=junk(sys)x(app)a(app)b.txt", "C:\\APP\\b.txt"},
        // A file name holding '=' keeps it.
        {"C:\\APP\\", "6=sub\\a=b.txt", "C:\\APP\\sub\\a=b.txt"},
        // Without an application folder: the text after the macro or after '='.
        {"", "7=(app)a.txt", "a.txt"},
        {"", "8=b.txt", "b.txt"},
        {"C:\\APP\\", "c.txt", "C:\\APP\\c.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandEntryPath(c.base, c.line), c.expected) << c.line;
}

TEST_F(ExpandEntryPathTest, FoldersOfTheInstallation) {
    EXPECT_EQ(ProgramFolder(), Fs().ToVirtual(install_.ProgramHost()) + "\\");
    EXPECT_EQ(WindowsFolder(), Fs().ToVirtual("/etc"));
    RegistryStore registry(install_.ProgramHost() + "/test-registry.ini");
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    registry.WriteString(Hive::CurrentUser, key, "Desktop", "C:\\Bureau");
    registry.WriteString(Hive::CurrentUser, key, "Start Menu", "C:\\Menu\\");
    EXPECT_EQ(DesktopFolder(registry), "C:\\Bureau\\");
    EXPECT_EQ(StartMenuFolder(registry), "C:\\Menu\\");
}

}  // namespace
}  // namespace vpk
