#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/platform_error.h"
#include "platform/profile_document.h"
#include "support/test_support.h"

namespace vpk {
namespace {

using test::ReadHostFile;
using test::WriteHostFile;

class ProfileFile : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::string ini = dir / "vortipak.ini";
};

TEST_F(ProfileFile, ReadsFollowTheNameAndBlankRules) {
    WriteHostFile(ini,
                  "; settings\n"
                  "top=before any section\n"
                  "  [ Divers ]  \n"
                  "  Arch  =  My Backup  \n"
                  "dest=A:\\\n"
                  "empty=\n"
                  "level=0x1F\n"
                  "neg=-12\n"
                  "word=twelve\n"
                  "mixed=12abc\n"
                  "flagon=7\n"
                  "flagoff=0\n"
                  "arch=second one is never seen\n"
                  ";comment=not a key\n"
                  "no equals sign\n"
                  "[add]\n"
                  "a=x\n");
    struct Case {
        std::string section, key, expected;
    };
    const Case strings[] = {
        {"divers", "ARCH", "My Backup"}, {"DIVERS", " arch ", "My Backup"}, {"divers", "dest", "A:\\"},
        {"divers", "empty", ""},         {"divers", "missing", "dflt"},     {"nosuch", "arch", "dflt"},
        {"divers", "top", "dflt"},       {"divers", ";comment", "dflt"},    {"add", "A", "x"},
    };
    for (const auto& c : strings) {
        EXPECT_EQ(profile::ReadString(ini, c.section, c.key, "dflt"), c.expected)
            << c.section << "/" << c.key;
    }
    struct Number {
        std::string key;
        std::int64_t expected;
    };
    const Number numbers[] = {{"level", 31}, {"neg", -12}, {"word", 5},
                              {"mixed", 5},  {"empty", 5}, {"missing", 5}};
    for (const auto& n : numbers)
        EXPECT_EQ(profile::ReadInteger(ini, "divers", n.key, 5), n.expected) << n.key;
    EXPECT_TRUE(profile::ReadFlag(ini, "divers", "flagon", false));
    EXPECT_FALSE(profile::ReadFlag(ini, "divers", "flagoff", true));
    EXPECT_TRUE(profile::ReadFlag(ini, "divers", "word", true));
    EXPECT_EQ(profile::ReadKeys(ini, "Divers"),
              (std::vector<std::string>{"Arch", "dest", "empty", "level", "neg", "word", "mixed", "flagon",
                                        "flagoff"}));
    EXPECT_EQ(profile::ReadSections(ini), (std::vector<std::string>{"Divers", "add"}));
    EXPECT_TRUE(profile::SectionExists(ini, "ADD"));
    EXPECT_FALSE(profile::SectionExists(ini, "exc"));
}

TEST_F(ProfileFile, EnclosingQuotesAreTakenOffAndKeepBlanksAtTheEnds) {
    WriteHostFile(ini, "[t]\nd=\" Source: \"\ns=' x'\nodd=\"open\nmid=a \"b\" c\nlone=\"\n");
    const struct {
        const char* key;
        const char* expected;
    } reads[] = {{"d", " Source: "}, {"s", " x"}, {"odd", "\"open"}, {"mid", "a \"b\" c"}, {"lone", "\""}};
    for (const auto& r : reads) EXPECT_EQ(profile::ReadString(ini, "t", r.key), r.expected) << r.key;

    // Values whose ends would be lost on reading are written inside quotes and read back whole.
    for (const std::string value : {" lead", "trail ", "\"quoted\"", "'single'", "plain", ""}) {
        profile::WriteString(ini, "w", "k", value);
        EXPECT_EQ(profile::ReadString(ini, "w", "k"), value) << value;
    }
    profile::WriteString(ini, "w", "k", "plain");
    EXPECT_NE(ReadHostFile(ini).find("k=plain\n"), std::string::npos) << "plain values are written as they stand";
}

TEST_F(ProfileFile, ValuesAreCutTo1023CharactersAndKeyListsTo8192Bytes) {
    const std::string longValue(1500, 'v');
    std::string accented;
    for (int i = 0; i < 1100; ++i) accented += "\u00E9";
    std::string text = "[s]\nlong=" + longValue + "\naccented=" + accented + "\n[many]\n";
    // 1000 names of 9 bytes + a zero each: 819 fit in 8192 bytes with the final zero.
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "key%06d", i);
        text += std::string(name) + "=1\n";
    }
    WriteHostFile(ini, text);
    EXPECT_EQ(profile::ReadString(ini, "s", "long"), longValue.substr(0, 1023));
    const std::string cut = profile::ReadString(ini, "s", "accented");
    EXPECT_EQ(cut.size(), 1023u * 2) << "cut by characters, never inside one";
    EXPECT_EQ(profile::ReadString(ini, "s", "missing", longValue).size(), 1023u);
    const auto keys = profile::ReadKeys(ini, "many");
    ASSERT_EQ(keys.size(), 819u);
    EXPECT_EQ(keys.back(), "key000818");
}

TEST_F(ProfileFile, WritesLeaveEveryOtherLineByteForByte) {
    struct Case {
        const char* name;
        std::string before;
        void (*change)(const std::string&);
        std::string after;
    };
    const Case cases[] = {
        {"replace keeps the file's spelling of the key",
         "; head\n[A]\n  Key = old  \n;c\nother=1\n[B]\nkey=b\n",
         [](const std::string& f) { profile::WriteString(f, "a", "KEY", "new"); },
         "; head\n[A]\nKey=new\n;c\nother=1\n[B]\nkey=b\n"},
        {"new key goes after the section's last key", "[A]\nx=1\n\n; trailing comment\n[B]\ny=2",
         [](const std::string& f) { profile::WriteString(f, "A", "z", "3"); },
         "[A]\nx=1\nz=3\n\n; trailing comment\n[B]\ny=2"},
        {"new section at the end, after a last line without line end", "[A]\nx=1",
         [](const std::string& f) { profile::WriteString(f, "New", "k", " v "); }, "[A]\nx=1\n[New]\nk=\" v \"\n"},
        {"CR LF files get CR LF lines", "[A]\r\nx=1\r\n",
         [](const std::string& f) {
             profile::WriteString(f, "A", "y", "2");
             profile::WriteString(f, "B", "z", "3");
         },
         "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n"},
        {"empty value keeps the key", "[A]\nx=1\ny=2\n",
         [](const std::string& f) { profile::WriteString(f, "A", "x", ""); }, "[A]\nx=\ny=2\n"},
        {"delete key removes that line only", "[A]\nx=1\nX2=2\n[B]\nx=1\n",
         [](const std::string& f) { profile::DeleteKey(f, "a", "X"); }, "[A]\nX2=2\n[B]\nx=1\n"},
        {"erase section removes its keys and comments, not its neighbours",
         ";top\n[A]\nx=1\n;inside\n[b]\ny=2\n[C]\nz=3\n",
         [](const std::string& f) { profile::EraseSection(f, "B"); }, ";top\n[A]\nx=1\n;inside\n[C]\nz=3\n"},
        {"deleting what is missing changes nothing", "[A]\nx=1",
         [](const std::string& f) {
             profile::DeleteKey(f, "A", "nope");
             profile::DeleteKey(f, "Nope", "x");
             profile::EraseSection(f, "Nope");
         },
         "[A]\nx=1"},
        {"numbers and flags", "",
         [](const std::string& f) {
             profile::WriteInteger(f, "n", "i", -42);
             profile::WriteFlag(f, "n", "on", true);
             profile::WriteFlag(f, "n", "off", false);
         },
         "[n]\ni=-42\non=1\noff=0\n"},
        {"Windows-1252 file stays 1252 while the text fits", "[A]\nname=caf\xE9\n",
         [](const std::string& f) { profile::WriteString(f, "A", "more", "d\u00E9j\u00E0"); },
         "[A]\nname=caf\xE9\nmore=d\xE9j\xE0\n"},
        {"Windows-1252 file becomes UTF-8 when the text does not fit", "[A]\nname=caf\xE9\n",
         [](const std::string& f) { profile::WriteString(f, "A", "more", "\u4E2D"); },
         "[A]\nname=caf\u00E9\nmore=\u4E2D\n"},
        {"a byte-order mark stays", "\xEF\xBB\xBF[A]\nx=1\n",
         [](const std::string& f) { profile::WriteString(f, "A", "x", "2"); }, "\xEF\xBB\xBF[A]\nx=2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteHostFile(ini, c.before);
        c.change(ini);
        EXPECT_EQ(ReadHostFile(ini), c.after);
    }
}

TEST_F(ProfileFile, WriteCreatesTheFileAndEveryCallSeesTheDisk) {
    profile::WriteString(ini, "1", "data", "C:\\DATA\\");
    EXPECT_EQ(ReadHostFile(ini), "[1]\ndata=C:\\DATA\\\n");
    // Another program changes the file: the next read sees it.
    WriteHostFile(ini, "[1]\ndata=D:\\\n");
    EXPECT_EQ(profile::ReadString(ini, "1", "data"), "D:\\");
}

TEST_F(ProfileFile, RefusedWritesNameTheFileAndChangeNothing) {
    WriteHostFile(ini, "[A]\nx=1\n");
    ::chmod(ini.c_str(), 0444);
    struct Case {
        const char* name;
        std::string file;
        std::string section, key, value;
    };
    const std::string folder = dir / "folder.ini";
    ::mkdir(folder.c_str(), 0755);
    const Case cases[] = {
        {"read-only file", ini, "A", "x", "2"},
        {"file that is a folder", folder, "A", "x", "2"},
        {"missing folder", dir / "no/such/folder.ini", "A", "x", "2"},
        {"value with a line break", ini, "A", "x", "2\n[evil]"},
        {"key with '='", ini, "A", "x=y", "2"},
        {"section with ']'", ini, "A]", "x", "2"},
        {"empty key", ini, "A", " ", "2"},
        {"unmapped drive", "Q:\\vortipak.ini", "A", "x", "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            profile::WriteString(c.file, c.section, c.key, c.value);
            ADD_FAILURE() << "write accepted";
        } catch (const PlatformError& e) {
            EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(ReadHostFile(ini), "[A]\nx=1\n");
    EXPECT_THROW(profile::EraseSection(ini, "A"), PlatformError);
    EXPECT_THROW(profile::DeleteKey(ini, "A", "x"), PlatformError);
    EXPECT_EQ(ReadHostFile(ini), "[A]\nx=1\n");
    EXPECT_FALSE(test::HostExists(dir / "no"));
}

TEST_F(ProfileFile, UnreadableFilesReadAsEmpty) {
    const std::string folder = dir / "folder.ini";
    ::mkdir(folder.c_str(), 0755);
    for (const std::string& file : {folder, dir / "missing.ini", std::string("Q:\\x.ini")}) {
        EXPECT_EQ(profile::ReadString(file, "A", "x", "d"), "d");
        EXPECT_EQ(profile::ReadInteger(file, "A", "x", 9), 9);
        EXPECT_TRUE(profile::ReadKeys(file, "A").empty());
        EXPECT_TRUE(profile::ReadSections(file).empty());
    }
}

TEST_F(ProfileFile, VirtualPathsGoThroughTheDriveTable) {
    test::TestInstallation install;
    WriteHostFile(install.DriveHost('C') + "/Vpk/Query.vpk", "[divers]\narch=x\n");
    EXPECT_EQ(profile::ReadString("C:\\VPK\\QUERY.VPK", "DIVERS", "arch"), "x");
    profile::WriteString("c:\\vpk\\query.vpk", "divers", "arch", "y");
    EXPECT_EQ(ReadHostFile(install.DriveHost('C') + "/Vpk/Query.vpk"), "[divers]\narch=y\n");
}

}  // namespace
}  // namespace vpk

namespace vpk {
namespace {

// The read path scans the text without building the document: both must give the same answers.
TEST(ProfileDocumentTest, FindValueInTextAgreesWithTheDocument) {
    const std::string text =
        "top=1\r\n[A]\r\nk=first\r\nk=second\r\n  [ b ]\nx = y \n;c=1\n[a]\nonly=in second A\n[C]\n\n[D]\nk=d";
    const ProfileDocument document(text);
    for (const char* section : {"A", "a", "b", "B ", "C", "D", "none", ""}) {
        for (const char* key : {"k", "K", "x", "only", "top", ";c", "c", ""}) {
            std::string fromDocument, fromText;
            const bool inDocument = document.FindValue(section, key, fromDocument);
            EXPECT_EQ(ProfileDocument::FindValueInText(text, section, key, fromText), inDocument)
                << section << "/" << key;
            EXPECT_EQ(fromText, fromDocument) << section << "/" << key;
        }
    }
}

}  // namespace
}  // namespace vpk
