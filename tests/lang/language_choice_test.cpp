#include "lang/language_choice.h"

#include <gtest/gtest.h>

#include "fake_component.h"
#include "platform/platform_error.h"
#include "platform/profile_file.h"
#include "support/test_support.h"

namespace vpk {
namespace {

using test::FakeComponent;

class LanguageChoiceTest : public ::testing::Test {
  protected:
    LanguageChoiceTest() : registry_(dir_ / "registry.ini"), application_("Application") {
        application_.Add("Form1").Add("MQuery").WithString("Caption", "design");
        language_.SetApplication(&application_);
        language_.Properties() = {"Form1.MQuery.caption"};
    }

    void WriteLanguage(const std::string& file, const std::string& caption) {
        test::WriteHostFile(dir_ / file, "[Translations]\nForm1.MQuery.caption=" + caption +
                                             "\n[reg]\nkey=vpkfile\nFriendlyTypeName=" + caption + "\n");
    }
    std::string Caption() { return application_.Child("Form1").Child("MQuery").String("caption"); }

    test::TempDir dir_;
    const std::string settings_ = dir_ / "vortipak.ini";
    RegistryStore registry_;
    FakeComponent application_;
    TLanguage language_;
};

TEST_F(LanguageChoiceTest, StartUpLoadsTheSavedLanguageAndDefaultsToFrench) {
    WriteLanguage("french.lgn", "Requêtes");
    WriteLanguage("english.lgn", "Queries");
    EXPECT_EQ(SavedLanguageName(settings_), "French");
    LoadSavedLanguage(language_, settings_, dir_.Path());
    EXPECT_EQ(language_.FN(), dir_ / "french.lgn");
    EXPECT_EQ(Caption(), "Requêtes");

    profile::WriteString(settings_, "General", "LANG", "English");
    LoadSavedLanguage(language_, settings_, dir_.Path());
    EXPECT_EQ(language_.FN(), dir_ / "english.lgn");
    EXPECT_EQ(Caption(), "Queries");
}

TEST_F(LanguageChoiceTest, ChoosingItalianKeepsTheChoiceTranslatesAndWritesTheRegistry) {
    WriteLanguage("italian.lgn", "Interrogazioni");
    const auto entry = LanguageOfMenuItem("MNUITALIAN");
    ASSERT_TRUE(entry);
    SwitchLanguage(language_, entry->name, settings_, dir_.Path(), registry_);

    EXPECT_EQ(profile::ReadString(settings_, "general", "lang"), "Italian");
    EXPECT_TRUE(language_.FN().ends_with("/italian.lgn")) << language_.FN();
    EXPECT_EQ(Caption(), "Interrogazioni");
    EXPECT_EQ(registry_.ReadString(Hive::ClassesRoot, "vpkfile", "FriendlyTypeName"), "Interrogazioni");
    EXPECT_EQ(SavedLanguageName(settings_), "Italian");
}

TEST_F(LanguageChoiceTest, MenuEntryIsEnabledOnlyWhenItsFileExists) {
    WriteLanguage("italian.lgn", "Interrogazioni");
    for (const LanguageEntry& entry : LanguageEntries()) {
        EXPECT_EQ(LanguageFileExists(dir_.Path(), entry.name), entry.name == "Italian") << entry.name;
    }
}

TEST_F(LanguageChoiceTest, MenuEntriesNameTheSixLanguages) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"MnuEnglish", "english.lgn"}, {"MnuFrench", "french.lgn"},   {"MnuDeutsch", "deutsch.lgn"},
        {"mnuSpanish", "espanol.lgn"}, {"mnuItalian", "italian.lgn"}, {"MnuCustom", "custom.lgn"},
    };
    ASSERT_EQ(LanguageEntries().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(LanguageEntries()[i].menuItem, expected[i].first);
        EXPECT_EQ(LanguageFileName("C:\\VPK\\", LanguageEntries()[i].name), "C:\\VPK\\" + expected[i].second);
    }
    EXPECT_FALSE(LanguageOfMenuItem("MnuKlingon"));
}

TEST_F(LanguageChoiceTest, RefusedSettingsWriteStillSwitchesThenReportsTheFailure) {
    WriteLanguage("english.lgn", "Queries");
    test::WriteHostFile(dir_ / "plain-file", "x");
    const std::string unwritable = dir_ / "plain-file/vortipak.ini";  // its folder is a file
    EXPECT_THROW(SwitchLanguage(language_, "English", unwritable, dir_.Path(), registry_), PlatformError);
    EXPECT_EQ(Caption(), "Queries");
    EXPECT_EQ(registry_.ReadString(Hive::ClassesRoot, "vpkfile", "FriendlyTypeName"), "Queries");
}

TEST_F(LanguageChoiceTest, WizardHelpFileFollowsTheLanguage) {
    struct Case {
        std::string name;
        bool germanHelpPresent;
        std::string expected;
    };
    const Case cases[] = {
        {"French", false, "vortipak.hlp"},    {"Deutsch", true, "vortipak_d.hlp"},
        {"Deutsch", false, "vortipak_e.hlp"}, {"English", true, "current.hlp"},
        {"Italian", false, "current.hlp"},    {"custom", false, "current.hlp"},
    };
    for (const Case& c : cases) {
        test::TempDir folder;
        if (c.germanHelpPresent) test::WriteHostFile(folder / "vortipak_d.hlp", "help");
        EXPECT_EQ(HelpFileAfterSwitch(c.name, folder.Path(), "current.hlp"), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace vpk
