#include "model/global_settings.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "model/path_routines.h"
#include "model_fixture.h"
#include "platform/platform_error.h"
#include "platform/profile_file.h"

namespace vpk {
namespace {

namespace s = settings;

class GlobalSettingsTest : public test::ModelTest {
  protected:
    GlobalSettings Gs() const { return GlobalSettings(Settings()); }
};

TEST_F(GlobalSettingsTest, MissingFileGivesEveryDefault) {
    const GlobalSettings g = Gs();
    EXPECT_EQ(g.Read(s::general::kLang), "French");
    EXPECT_TRUE(g.Read(s::general::kDm));  // day then month
    EXPECT_FALSE(g.Read(s::general::kMainMnu));
    EXPECT_EQ(g.Read(s::general::kPostCl1), -2147483633);
    EXPECT_EQ(g.Read(s::general::kPostCl2), 16711680);
    EXPECT_EQ(g.Read(s::general::kTimeoutSec), 20);
    EXPECT_EQ(g.Read(s::general::kLogLine), 1500);
    EXPECT_EQ(g.Read(s::general::kLnkStart), "Sauvegardes\\");
    EXPECT_TRUE(g.Read(s::admini::kS));
    EXPECT_EQ(g.Read(s::admini::kPassw), "");
    EXPECT_EQ(g.Read(s::icoidx::kVpk), 72);
    EXPECT_EQ(g.Read(s::explo::kWidth), 200);
    EXPECT_EQ(g.Read(s::wzd::kIBoxMsg), "2");
    EXPECT_TRUE(g.Automate(ProgramKind::Backup));
    EXPECT_FALSE(g.Automate(ProgramKind::Wizard));
    EXPECT_EQ(g.WizardDestination(), "C:\\");
    EXPECT_EQ(g.WizardIconFile(), ProgramFolder() + "icones.dll");
    EXPECT_FALSE(Fs().FileExists(Settings()));  // reading never creates the file
}

TEST_F(GlobalSettingsTest, EveryKeyIsReachableByName) {
    struct Case {
        const char *section, *key, *stored, *value;
    } cases[] = {
        {"general", "wav", nullptr, "1"},
        {"GENERAL", "DskTurnGame", nullptr, "0"},
        {"general", "split", nullptr, "197"},
        {"general", "postcl2", "255", "255"},
        {"admini", "c", "0", "0"},
        {"div", "dateinstall", "x1y2", "x1y2"},
        {"icoidx", "all", nullptr, "2"},
        {"explo", "msgextr", nullptr, "1"},
        {"wzd", "spath", nullptr, "C:\\"},
        {"wzd", "gifanime", nullptr, "1"},
        {"general", "timeoutsec", "soon", "20"},
        {"general", "logline", "0x7D0", "2000"},
        {"MRU Items", "n0", "C:\\a.zip", "C:\\a.zip"},  // a key no program of ours types
    };
    for (const auto& c : cases)
        if (c.stored) profile::WriteString(Settings(), c.section, c.key, c.stored);
    for (const auto& c : cases)
        EXPECT_EQ(Gs().ReadByName(c.section, c.key), c.value) << c.section << "/" << c.key;
    const auto info = FindSetting("Explo", "FTop");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->type, SettingType::Flag);
    EXPECT_EQ(info->defaultText, "1");
    EXPECT_FALSE(FindSetting("general", "nosuchkey").has_value());
}

TEST_F(GlobalSettingsTest, WindowsFileReadsCorrectlyAndAWriteTouchesOneLine) {
    // Written by the Windows program: Windows-1252, CR LF, accented values, a comment, odd spacing.
    const std::string original =
        "[general]\r\n"
        "lang=French\r\n"
        "lnkstart=Sauvegardes\\\r\n"
        "lnkother=C:\\WINDOWS\\Bureau\\Sauvez Moi\\\r\n"
        "; r\xE9glages\r\n"
        "timeoutsec = 45\r\n"
        "\r\n"
        "[wzd]\r\n"
        "note=Sauvegarde d'\xE9t\xE9 \xE0 la cl\xE9\r\n"
        "stitre=Extraction des donn\xE9\x65s\r\n"
        "[HistoryCfgDir]\r\n"
        "n0=C:\\Donn\xE9\x65s\\\r\n"
        "last=C:\\Donn\xE9\x65s\\\r\n";
    WriteSettings(original);
    const GlobalSettings g = Gs();
    EXPECT_EQ(g.Read(s::wzd::kNote), "Sauvegarde d'été à la clé");
    EXPECT_EQ(g.Read(s::wzd::kSTitre), "Extraction des données");
    EXPECT_EQ(g.Read(s::general::kTimeoutSec), 45);
    EXPECT_EQ(g.LnkOther(), "C:\\WINDOWS\\Bureau\\Sauvez Moi\\");
    EXPECT_EQ(g.WizardDestination(), "C:\\Données\\");
    HistoryList box;
    g.LoadHistory(box, s::history::kWizardDestination);
    EXPECT_EQ(box.Text(), "C:\\Données\\");

    // Saving a value that did not change leaves the file as it was.
    g.Write(s::general::kTimeoutSec, 45);
    g.Write(s::general::kLang, "French");
    EXPECT_EQ(SettingsText(), original);

    g.Write(s::general::kWav, false);
    const std::string after = SettingsText();
    EXPECT_FALSE(g.Read(s::general::kWav));
    const auto at = after.find("wav=0\r\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(after.substr(0, at) + after.substr(at + 7), original);
    EXPECT_EQ(g.Read(s::wzd::kNote), "Sauvegarde d'été à la clé");
}

TEST_F(GlobalSettingsTest, WizardSpathAndComputedDefaults) {
    const GlobalSettings g = Gs();
    EXPECT_EQ(g.WizardSpath("Demander"), "C:\\");
    g.WriteWizardSpath("Demander", "Demander");
    EXPECT_EQ(profile::ReadString(Settings(), "wzd", "spath"), "><");
    EXPECT_EQ(g.WizardSpath("Demander"), "Demander");
    g.Write(s::wzd::kDest, "G:\\OUT\\");
    EXPECT_EQ(g.WizardDestination(), "G:\\OUT\\");
    g.Write(s::general::kAutomate, false);
    EXPECT_FALSE(g.Automate(ProgramKind::Backup));
}

TEST_F(GlobalSettingsTest, RefusedWriteRaisesNamingTheFile) {
    std::filesystem::create_directories(ProgramFile("vortipak.ini"));
    try {
        Gs().Write(s::general::kGif, false);
        FAIL() << "the write was not refused";
    } catch (const PlatformError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("vortipak.ini"));
    }
    EXPECT_TRUE(Gs().Read(s::general::kGif));
}

}  // namespace
}  // namespace vpk
