#include "model/numbered_queries.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <set>

#include "model/exclusion_value.h"
#include "model/path_routines.h"
#include "model/profile_section.h"
#include "model_fixture.h"
#include "platform/platform_error.h"
#include "platform/profile_file.h"

namespace vpk {
namespace {

using test::ModelTest;
using test::TestTree;

std::string SettingsWithQueries(const std::set<int>& used) {
    std::string ini = "[general]\nlang=French\n";
    for (int n : used) ini += "[" + std::to_string(n) + "]\ndata=C:\\Q" + std::to_string(n) + "\\\narch=Q\n";
    return ini;
}

class NumberedQueriesTest : public ModelTest {
  protected:
    NumberedQueries Queries() const { return NumberedQueries(Settings()); }
};

TEST_F(NumberedQueriesTest, NumberScans) {
    std::set<int> all;
    for (int n = 1; n <= 151; ++n) all.insert(n);
    struct Case {
        const char* what;
        std::string ini;
        int firstFree, lastUsed;
        int nextFrom, next, previousFrom, previous;
    } cases[] = {
        {"gap at 3", SettingsWithQueries({1, 2, 4, 5}), 3, 5, 2, 4, 4, 2},
        {"all used", SettingsWithQueries(all), 151, 151, 150, 151, 151, 150},
        {"only 1", SettingsWithQueries({1}), 2, 1, 1, 1, 2, 1},
        {"none", "", 1, 1, 1, 1, 5, 1},
        {"holes far apart", SettingsWithQueries({7, 150}), 1, 150, 7, 150, 150, 7},
        // Keys without "data" do not make a query.
        {"empty data is free", SettingsWithQueries({1, 3}) + "[2]\ndata=\narch=Old\nlevel=9\n", 2, 3, 1, 3, 3,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSettings(c.ini);
        EXPECT_EQ(Queries().FirstFreeSection(), c.firstFree);
        EXPECT_EQ(Queries().HasFreeSection(), c.what != std::string("all used"));
        EXPECT_EQ(Queries().LastUsedSection(), c.lastUsed);
        EXPECT_EQ(Queries().NextUsedSection(c.nextFrom), c.next);
        EXPECT_EQ(Queries().PreviousUsedSection(c.previousFrom), c.previous);
    }
}

TEST_F(NumberedQueriesTest, DeleteLeavesAGapThatTheNextQueryTakes) {
    WriteSettings(SettingsWithQueries({1, 2, 3, 4, 5}) + "[RunService]\n3=line three\n4=line four\n");
    Queries().DeleteSectionNumber(3);
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(Queries().IsSectionUsed(n), n != 3) << n;
    EXPECT_FALSE(profile::SectionExists(Settings(), "3"));
    EXPECT_EQ(profile::ReadKeys(Settings(), "RunService"), std::vector<std::string>{"4"});
    EXPECT_EQ(Queries().FirstFreeSection(), 3);
}

TEST_F(NumberedQueriesTest, WriteUsesTheWizardKeyOrderAndKeepsUnknownKeys) {
    QueryRecord q;
    q.data = "C:\\DATA\\";
    q.arch = "Compta";
    q.dest = "A:\\";
    q.scheduleLine = "1111111 12:30 7";
    q.exclu = {"*.tmp", "*.bak"};
    Queries().WriteSectionNumber(4, q, 35);
    const std::vector<std::string> order = {
        "data",     "filter",  "arch",   "dest",    "sfx",    "date",    "subdir",    "storepath",
        "pass",     "update",  "level",  "maxfile", "note",   "qw95",    "autoclose", "eject",
        "spath",    "runfile", "scmd",   "msgsfx",  "smsg",   "iboxmsg", "stitre",    "iconame",
        "icoIndex", "sow",     "endmsg", "autorun", "chglst", "exclu"};
    EXPECT_EQ(profile::ReadKeys(Settings(), "4"), order);
    EXPECT_EQ(profile::ReadString(Settings(), "4", "exclu"), "|*.tmp|*.bak");
    EXPECT_EQ(profile::ReadString(Settings(), "general", "timeoutsec"), "35");
    EXPECT_EQ(profile::ReadString(Settings(), "RunService", "4"), "1111111 12:30 7");

    // Rewriting: a key the wizard does not know stays; scheduling off removes the line.
    profile::WriteString(Settings(), "4", "custom", "keep me");
    q.scheduleLine.clear();
    q.arch = "Compta2";
    Queries().WriteSectionNumber(4, q, 35);
    EXPECT_EQ(profile::ReadString(Settings(), "4", "custom"), "keep me");
    EXPECT_EQ(profile::ReadString(Settings(), "4", "arch"), "Compta2");
    EXPECT_TRUE(profile::ReadKeys(Settings(), "RunService").empty());
}

TEST_F(NumberedQueriesTest, MissingKeysTakeEachReadersDefaults) {
    WriteSettings("[9]\ndata=C:\\DATA\\\n[HistoryCfgDir]\nn0=E:\\SAVE\\\nlast=E:\\SAVE\\\n");
    const QueryTexts texts{"Auto-extraction", "Demander"};
    const QueryRecord w = Queries().ReadSectionNumber(9, QueryReader::Wizard, texts);
    const QueryRecord b = Queries().ReadSectionNumber(9, QueryReader::Backup, texts);
    struct Case {
        const char* key;
        std::string wizard, backup;
    } cases[] = {
        {"filter", w.filter, b.filter},
        {"arch", w.arch, b.arch},
        {"dest", w.dest, b.dest},
        {"stitre", w.stitre, b.stitre},
        {"spath", w.spath, b.spath},
        {"iconame", w.iconame, b.iconame},
        {"icoIndex", std::to_string(w.icoIndex), std::to_string(b.icoIndex)},
        {"level/maxfile/iboxmsg", std::to_string(w.level * 100 + w.maxfile * 10 + w.iboxmsg),
         std::to_string(b.level * 100 + b.maxfile * 10 + b.iboxmsg)},
    };
    const std::string icons = ProgramFolder() + "icones.dll";
    const std::pair<std::string, std::string> expected[] = {
        {"*.*", "*.*"},   {"", "NoName"}, {"E:\\SAVE\\", "C:\\"}, {"", "Auto-extraction"},
        {"C:\\", "C:\\"}, {icons, ""},    {"0", "9999"},          {"151", "151"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].wizard, expected[i].first) << cases[i].key;
        EXPECT_EQ(cases[i].backup, expected[i].second) << cases[i].key;
    }
    for (const QueryRecord* q : {&w, &b}) {
        EXPECT_TRUE(q->subdir && q->storepath && q->update && q->date && q->eject && q->autoclose &&
                    q->endmsg);
        EXPECT_FALSE(q->sfx || q->pass || q->qw95 || q->msgsfx || q->sow || q->autorun || q->chglst ||
                     q->runfile);
        EXPECT_TRUE(q->note.empty() && q->smsg.empty() && q->scmd.empty() && q->exclu.empty());
        EXPECT_TRUE(q->scheduleLine.empty());
    }
    EXPECT_EQ(EffectiveIconIndex(b), 0);
}

TEST_F(NumberedQueriesTest, StoredValuesAndBadNumbers) {
    const std::string longNote(1500, 'n');
    WriteSettings(
        "[2]\ndata=C:\\DATA\\\ndest=a:\\backups\\\nlevel=fast\nmaxfile=0x0C\nsfx=2\ndate=0\n"
        "subdir=yes\nicoIndex=\nnote=" +
        longNote + "\nexclu=|ab|b\n[RunService]\n2=sched\n");
    const QueryRecord b = Queries().ReadSectionNumber(2, QueryReader::Backup);
    EXPECT_EQ(b.dest, "A:\\BACKUPS\\");  // the backup program upper-cases the destination
    EXPECT_EQ(b.level, 1);               // not a number: the default
    EXPECT_EQ(b.maxfile, 12);
    EXPECT_TRUE(b.sfx);  // any value other than 0 is set
    EXPECT_FALSE(b.date);
    EXPECT_TRUE(b.subdir);  // not a number: the default
    EXPECT_EQ(b.icoIndex, 9999);
    EXPECT_EQ(EffectiveIconIndex(b), 1);  // self-extracting
    EXPECT_EQ(b.note, std::string(1023, 'n'));
    EXPECT_EQ(b.exclu, (std::vector<std::string>{"ab", "b"}));
    EXPECT_EQ(b.scheduleLine, "sched");
    const QueryRecord w = Queries().ReadSectionNumber(2, QueryReader::Wizard);
    EXPECT_EQ(w.dest, "a:\\backups\\");
}

TEST_F(NumberedQueriesTest, WizardConversionsOfSpathAndScmd) {
    TestTree(OnC("DATA/Tools"), {{"setup.exe", "MZ"}});
    const QueryTexts texts{"", "Demander le dossier"};
    QueryRecord q;
    q.data = "C:\\DATA\\";
    q.spath = "(Demander le dossier)";
    q.runfile = true;
    q.scmd = "Tools\\setup.exe";
    Queries().WriteSectionNumber(1, q, 20, texts);
    EXPECT_EQ(profile::ReadString(Settings(), "1", "spath"), "><");
    EXPECT_EQ(profile::ReadString(Settings(), "1", "scmd"), "DATA\\Tools\\setup.exe");
    QueryRecord back = Queries().ReadSectionNumber(1, QueryReader::Wizard, texts);
    EXPECT_EQ(back.spath, "Demander le dossier");
    EXPECT_EQ(back.scmd, "TOOLS\\SETUP.EXE");
    EXPECT_TRUE(back.runfile);
    // The backup program passes "><" on unchanged.
    EXPECT_EQ(Queries().ReadSectionNumber(1, QueryReader::Backup, texts).spath, "><");

    // Without stored paths the name is stored alone and reads back whole.
    q.storepath = false;
    q.scmd = "readme.txt";
    Queries().WriteSectionNumber(1, q, 20, texts);
    EXPECT_EQ(profile::ReadString(Settings(), "1", "scmd"), "readme.txt");
    back = Queries().ReadSectionNumber(1, QueryReader::Wizard, texts);
    EXPECT_EQ(back.scmd, "README.TXT");
    EXPECT_FALSE(back.runfile);  // no such file in the query folder

    // Not ticked: an empty value.
    q.runfile = false;
    Queries().WriteSectionNumber(1, q, 20, texts);
    EXPECT_EQ(profile::ReadString(Settings(), "1", "scmd"), "");
}

TEST(ScmdShownTest, Forms) {
    struct Case {
        const char *stored, *data, *shown;
    } cases[] = {
        {"DATA\\SUB\\x.exe", "C:\\DATA\\SUB\\", "X.EXE"}, {"DATA\\x.exe", "C:\\DATA\\", "X.EXE"},
        {"OTHER\\y.exe", "C:\\DATA\\", "Y.EXE"},          {"><run.bat", "C:\\DATA\\", "RUN.BAT"},
        {"solo.exe", "C:\\DATA\\", "SOLO.EXE"},           {"", "C:\\DATA\\", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ScmdShown(c.stored, c.data), c.shown) << c.stored;
}

TEST_F(NumberedQueriesTest, ValuesThatCannotBeStoredAsTheyAre) {
    WriteSettings("[4]\ndata=C:\\OLD\\\n");
    QueryRecord q;
    q.data = "C:\\DATA\\";
    // A comment typed on two lines is kept on one: no key of its own, no failed write half-way.
    q.note = "Compta 2026\r\nsecond line\nthird";
    q.smsg = "\nInsert disk\r";
    Queries().WriteSectionNumber(1, q, 20);
    const QueryRecord back = Queries().ReadSectionNumber(1, QueryReader::Backup);
    EXPECT_EQ(back.note, "Compta 2026 second line third");
    EXPECT_EQ(back.smsg, "Insert disk");
    EXPECT_EQ(profile::ReadKeys(Settings(), "1").size(), 30u);

    // Exclusions that would come back cut are refused before anything is written.
    const std::string before = SettingsText();
    q.exclu.assign(120, "C:\\DATA\\tmp\\*.*");
    try {
        Queries().WriteSectionNumber(4, q, 20);
        FAIL() << "an exclusion value of " << ExclusionValue(q.exclu).size() << " characters was written";
    } catch (const EValueTooLong& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("exclu"));
    }
    EXPECT_EQ(SettingsText(), before);
    // The limit counts characters: 1023 of them, an accented one among them, fit; 1024 do not.
    q.exclu = {std::string(1022, 'x') + "é"};
    EXPECT_THROW(Queries().WriteSectionNumber(4, q, 20), EValueTooLong);
    q.exclu = {std::string(1021, 'x') + "é"};
    Queries().WriteSectionNumber(4, q, 20);
    EXPECT_EQ(Queries().ReadSectionNumber(4, QueryReader::Backup).exclu, q.exclu);
}

TEST_F(NumberedQueriesTest, RefusedWriteNamesTheFile) {
    std::filesystem::create_directories(ProgramFile("vortipak.ini"));  // a folder where the file should be
    try {
        Queries().WriteSectionNumber(1, QueryRecord(), 20);
        FAIL() << "the write was not refused";
    } catch (const PlatformError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("vortipak.ini"));
    }
    // Reads of such a file give the defaults.
    EXPECT_EQ(Queries().ReadSectionNumber(1, QueryReader::Backup).arch, "NoName");
}

}  // namespace
}  // namespace vpk
