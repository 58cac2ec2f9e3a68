#include "model/query_file.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "model/path_routines.h"
#include "model/profile_section.h"
#include "model/query_schedule_list.h"
#include "model_fixture.h"
#include "platform/platform_error.h"
#include "platform/profile_file.h"

namespace vpk {
namespace {

using test::ReadHostFile;
using test::WriteHostFile;
using ::testing::HasSubstr;

class QueryFileTest : public test::ModelTest {
  protected:
    QueryFileTest() { std::filesystem::create_directories(ProgramFile("Vpk")); }
    std::string VpkHost() const { return ProgramFile("Vpk/Compta.vpk"); }
    std::string Vpk() const { return Fs().ToVirtual(VpkHost()); }
};

constexpr const char* kStoredQuery =
    "[divers]\r\n"
    "arch=Compta\r\n"
    "dest=a:\\\r\n"
    "subdir=0\r\n"
    "level=9\r\n"
    "spath=><\r\n"
    "scmd=lisezmoi.txt\r\n"
    "future=kept\r\n"
    "[add]\r\n"
    "1=(app)data\\*.*<>01\r\n"
    "2=(app)compta.ini\r\n"
    "3=E:\\EXTRA\\*.xls<>11\r\n"
    "[exc]\r\n"
    "1=(app)data\\*.tmp\r\n"
    "[application]\r\n"
    "NameExeVpk=compta.exe\r\n"
    "PatchExeVpk=C:\\COMPTA\\\r\n"
    "[RunBeforeAdd]\r\n"
    "ToRun=C:\\COMPTA\\close.exe\r\n"
    "[RunBeforeDel]\r\n"
    "ToDel=C:\\COMPTA\\tmp\\\r\n";

TEST_F(QueryFileTest, MissingFileReadsAsDefaultsWithEmptyLists) {
    const QueryFileContent b = ReadVpk("C:\\VPK\\none.vpk", QueryReader::Backup, Settings());
    EXPECT_EQ(b.query.arch, "NoName");
    EXPECT_EQ(b.query.dest, "C:\\");
    EXPECT_TRUE(b.query.subdir && b.query.storepath);
    EXPECT_TRUE(b.includes.empty() && b.excludes.empty());
    EXPECT_TRUE(b.applicationFolder.empty() && b.runBeforeAdd.empty());

    WriteSettings("[HistoryCfgDir]\nn0=F:\\SAVE\\\nlast=F:\\SAVE\\\n");
    const QueryFileContent w = ReadVpk("C:\\VPK\\none.vpk", QueryReader::Wizard, Settings());
    EXPECT_EQ(w.query.arch, "SansNom");
    EXPECT_EQ(w.query.dest, "F:\\SAVE\\");
    EXPECT_EQ(w.query.iboxmsg, 1);
    EXPECT_EQ(w.query.icoIndex, 0);
    EXPECT_EQ(w.query.spath, "C:\\");
    EXPECT_EQ(w.query.iconame, ProgramFolder() + "icones.dll");
}

TEST_F(QueryFileTest, ReadsEveryPartOfAStoredFile) {
    WriteHostFile(VpkHost(), kStoredQuery);
    const QueryFileContent b = ReadVpk(Vpk(), QueryReader::Backup, Settings(), {"Titre", "Demander"});
    EXPECT_EQ(b.query.arch, "Compta");
    EXPECT_EQ(b.query.dest, "A:\\");
    EXPECT_FALSE(b.query.subdir);
    EXPECT_TRUE(b.query.storepath);
    EXPECT_EQ(b.query.level, 9);
    EXPECT_EQ(b.query.spath, "><");  // query files are not converted
    EXPECT_EQ(b.query.stitre, "Titre");
    EXPECT_EQ(b.includes,
              (std::vector<std::string>{"(app)data\\*.*<>01", "(app)compta.ini", "E:\\EXTRA\\*.xls<>11"}));
    EXPECT_EQ(b.FullIncludes(), (std::vector<std::string>{"C:\\COMPTA\\data\\*.*<>01",
                                                          "C:\\COMPTA\\compta.ini", "E:\\EXTRA\\*.xls<>11"}));
    EXPECT_EQ(b.FullExcludes(), std::vector<std::string>{"C:\\COMPTA\\data\\*.tmp"});
    EXPECT_EQ(b.InitialEntryFlags(), (EntryFlags{true, false}));
    EXPECT_EQ(b.applicationName, "compta.exe");
    EXPECT_EQ(b.runBeforeAdd, "C:\\COMPTA\\close.exe");
    EXPECT_EQ(b.runBeforeDel, "C:\\COMPTA\\tmp\\");

    const QueryFileContent w = ReadVpk(Vpk(), QueryReader::Wizard, Settings(), {"Titre", "Demander"});
    EXPECT_EQ(w.query.dest, "a:\\");
    EXPECT_EQ(w.query.spath, "><");
    EXPECT_EQ(w.query.stitre, "");
    EXPECT_FALSE(w.query.runfile);  // "lisezmoi.txt" names no existing file
    EXPECT_EQ(w.query.iconame, ProgramFolder() + "icones.dll");

    // An icon file that exists is kept, also when named from the program folder.
    WriteHostFile(ProgramFile("own.ico"), "icon");
    for (const std::string& icon : {std::string("own.ico"), ProgramFolder() + "own.ico"}) {
        profile::WriteString(Vpk(), "divers", "iconame", icon);
        EXPECT_EQ(ReadVpk(Vpk(), QueryReader::Wizard, Settings()).query.iconame, icon);
    }
}

TEST_F(QueryFileTest, RewriteKeepsWhatTheWizardDoesNotEdit) {
    WriteHostFile(VpkHost(), kStoredQuery);
    QueryFileContent content = ReadVpk(Vpk(), QueryReader::Wizard, Settings());
    content.query.arch = "Compta2";
    content.includes = {"(app)data\\*.*<>11"};
    content.excludes.clear();
    WriteVPK(Vpk(), content, Settings());

    const std::string text = ReadHostFile(VpkHost());
    for (const char* kept : {"[application]\r\nNameExeVpk=compta.exe\r\nPatchExeVpk=C:\\COMPTA\\\r\n",
                             "[RunBeforeAdd]\r\nToRun=C:\\COMPTA\\close.exe\r\n",
                             "[RunBeforeDel]\r\nToDel=C:\\COMPTA\\tmp\\\r\n", "future=kept\r\n",
                             "subdir=0\r\n", "scmd=lisezmoi.txt\r\n"})
        EXPECT_THAT(text, HasSubstr(kept));
    EXPECT_EQ(profile::ReadKeys(Vpk(), "add"), std::vector<std::string>{"1"});
    EXPECT_EQ(profile::ReadString(Vpk(), "add", "1"), "(app)data\\*.*<>11");
    EXPECT_TRUE(profile::ReadKeys(Vpk(), "exc").empty());
    EXPECT_EQ(profile::ReadString(Vpk(), "divers", "arch"), "Compta2");
    EXPECT_EQ(profile::ReadString(Vpk(), "divers", "spath"), "><");

    // The backup program's only write.
    WriteApplicationFolder(Vpk(), "D:\\COMPTA\\");
    EXPECT_EQ(ReadVpk(Vpk(), QueryReader::Backup, Settings()).applicationFolder, "D:\\COMPTA\\");
    EXPECT_EQ(ReadVpk(Vpk(), QueryReader::Backup, Settings()).applicationName, "compta.exe");

    EXPECT_TRUE(DeleteQueryFile(Vpk()));
    EXPECT_FALSE(Fs().FileExists(Vpk()));
}

TEST_F(QueryFileTest, DiversKeyOrderAndScmdOnlyWhenTicked) {
    QueryFileContent content;
    content.query.runfile = false;
    content.query.scmd = "ignored.txt";
    WriteVPK(Vpk(), content, Settings());
    EXPECT_EQ(profile::ReadKeys(Vpk(), "divers"),
              (std::vector<std::string>{"arch",   "dest",    "sfx",     "date",    "pass",      "update",
                                        "level",  "maxfile", "note",    "qw95",    "autoclose", "eject",
                                        "msgsfx", "smsg",    "iboxmsg", "stitre",  "iconame",   "icoIndex",
                                        "sow",    "endmsg",  "runfile", "autorun", "chglst",    "spath"}));
    content.query.runfile = true;
    content.query.scmd = "C:\\DATA\\setup.exe";
    WriteVPK(Vpk(), content, Settings());
    EXPECT_EQ(profile::ReadString(Vpk(), "divers", "scmd"), "C:\\DATA\\setup.exe");
}

TEST_F(QueryFileTest, ScheduleListFollowsTheQueryFile) {
    const std::string other = "1000000 08:00 C:\\VPK\\Vpk\\Autre.vpk";
    // The stored line names the same file on another drive letter and in other case.
    const std::string mine = "0111110 12:00 D:\\" + Vpk().substr(3);
    std::string upperMine = mine;
    for (char& c : upperMine) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    WriteSettings("[RunServiceVpk]\nn0=" + other + "\nn1=" + upperMine + "\n");

    QueryFileContent content;
    content.query.scheduleLine = "0000001 23:00 " + Vpk();
    WriteVPK(Vpk(), content, Settings());
    EXPECT_EQ(ReadQueryScheduleList(Settings()),
              (std::vector<std::string>{other, content.query.scheduleLine}));
    EXPECT_EQ(profile::ReadString(Vpk(), "RunService", "1"), content.query.scheduleLine);

    content.query.scheduleLine.clear();
    WriteVPK(Vpk(), content, Settings());
    EXPECT_EQ(ReadQueryScheduleList(Settings()), std::vector<std::string>{other});
    EXPECT_EQ(profile::ReadKeys(Settings(), "RunServiceVpk"), std::vector<std::string>{"n0"});
    EXPECT_TRUE(profile::ReadKeys(Vpk(), "RunService").empty());

    // Scheduling on for a file not in the list appends its line.
    content.query.scheduleLine = "1111111 06:00 " + Vpk();
    WriteVPK(Vpk(), content, Settings());
    EXPECT_EQ(ReadQueryScheduleList(Settings()),
              (std::vector<std::string>{other, content.query.scheduleLine}));
    // Deleting the query file leaves its line.
    DeleteQueryFile(Vpk());
    EXPECT_EQ(ReadQueryScheduleList(Settings()).size(), 2u);
}

TEST_F(QueryFileTest, ScheduleListEditedByHandLosesNoLine) {
    WriteSettings(
        "[RunServiceVpk]\nn0=1000000 08:00 C:\\A.vpk\nn2=1000000 09:00 C:\\B.vpk\nn3=\n"
        "n10=1000000 10:00 C:\\C.vpk\n");
    EXPECT_EQ(ReadQueryScheduleList(Settings()).size(), 3u);
    UpdateQueryScheduleList(Settings(), "C:\\B.vpk", "");
    EXPECT_EQ(SettingsText(), "[RunServiceVpk]\nn0=1000000 08:00 C:\\A.vpk\nn1=1000000 10:00 C:\\C.vpk\n");
    // Turning off a file that is not listed leaves the file alone.
    UpdateQueryScheduleList(Settings(), "C:\\D.vpk", "");
    EXPECT_EQ(SettingsText(), "[RunServiceVpk]\nn0=1000000 08:00 C:\\A.vpk\nn1=1000000 10:00 C:\\C.vpk\n");
}

TEST_F(QueryFileTest, AnEntryTooLongToReadBackLeavesTheFileAsItWas) {
    WriteHostFile(VpkHost(), kStoredQuery);
    QueryFileContent content = ReadVpk(Vpk(), QueryReader::Wizard, Settings());
    content.includes.push_back("C:\\" + std::string(1100, 'd') + "\\*.*<>11");
    EXPECT_THROW(WriteVPK(Vpk(), content, Settings()), EValueTooLong);
    EXPECT_EQ(ReadHostFile(VpkHost()), kStoredQuery);
}

TEST_F(QueryFileTest, RefusedSettingsWriteKeepsWhatWasWrittenBefore) {
    std::filesystem::create_directories(ProgramFile("vortipak.ini"));
    QueryFileContent content;
    content.query.arch = "Partial";
    content.query.spath = "D:\\OUT\\";
    content.includes = {"C:\\DATA\\*.*<>11"};
    content.query.scheduleLine = "1111111 06:00 " + Vpk();
    try {
        WriteVPK(Vpk(), content, Settings());
        FAIL() << "the write was not refused";
    } catch (const PlatformError& e) {
        EXPECT_THAT(e.what(), HasSubstr("vortipak.ini"));
    }
    EXPECT_EQ(profile::ReadString(Vpk(), "divers", "arch"), "Partial");
    EXPECT_EQ(profile::ReadString(Vpk(), "add", "1"), "C:\\DATA\\*.*<>11");
    EXPECT_EQ(profile::ReadString(Vpk(), "divers", "spath", "(none)"), "(none)");  // written after the list
}

}  // namespace
}  // namespace vpk
