#include "lang/language.h"

#include <gtest/gtest.h>

#include "fake_component.h"
#include "lang/language_errors.h"
#include "platform/registry_store.h"
#include "support/test_support.h"

namespace vpk {
namespace {

using test::FakeComponent;

class LanguageTest : public ::testing::Test {
  protected:
    std::string WriteLanguage(const std::string& contents, const std::string& name = "test.lgn") {
        const std::string path = dir_ / name;
        test::WriteHostFile(path, contents);
        return path;
    }

    test::TempDir dir_;
};

TEST_F(LanguageTest, LookupsFindTheirSectionWithoutRegardToCaseAndFallBackToTheKey) {
    TLanguage language;
    language.SetFN(
        WriteLanguage("[Messages]\n000020=Main window\nMsg_OkToContinue = Go on? \n"
                      "[Buttons]\nsOk=OK button\n"
                      "[thanks]\nsUrl=https://host/\n"));

    struct Case {
        std::string (TLanguage::*lookup)(std::string_view) const;
        std::string key;
        std::string expected;
    };
    const Case cases[] = {
        {&TLanguage::MessageText, "000020", "Main window"},
        {&TLanguage::MessageText, "msg_oktocontinue", "Go on?"},
        {&TLanguage::MessageText, "000094", "000094"},  // missing key
        {&TLanguage::MessageText, "sOk", "sOk"},        // a button is not a message
        {&TLanguage::ButtonText, "sOk", "OK button"},
        {&TLanguage::ButtonText, "sOK", "OK button"},
        {&TLanguage::ButtonText, "sNo", "sNo"},
        {&TLanguage::ThanksText, "SURL", "https://host/"},
        {&TLanguage::ThanksText, "sHint", "sHint"},
    };
    for (const Case& c : cases) EXPECT_EQ((language.*c.lookup)(c.key), c.expected) << c.key;
}

TEST_F(LanguageTest, MissingFileMakesEveryLookupReturnItsKeyAndTranslateChangeNothing) {
    FakeComponent application("Application");
    application.Add("Form1").Add("MQuery").WithString("Caption", "design");

    for (const std::string& fn : {dir_ / "missing.lgn", std::string()}) {
        TLanguage language;
        language.SetFN(fn);
        language.SetApplication(&application);
        language.Properties() = {"Form1.MQuery.caption"};
        EXPECT_EQ(language.MessageText("000001"), "000001");
        EXPECT_EQ(language.ButtonText("sCancel"), "sCancel");
        EXPECT_EQ(language.ThanksText("sNameInBlue"), "sNameInBlue");
        language.Translate();
        EXPECT_EQ(application.Child("Form1").Child("MQuery").String("caption"), "design");
    }
}

TEST_F(LanguageTest, EveryLookupReadsTheFileAnew) {
    TLanguage language;
    const std::string first = WriteLanguage("[Messages]\n000001=one\n");
    const std::string second = WriteLanguage("[Messages]\n000001=deux\n", "second.lgn");
    language.SetFN(first);
    EXPECT_EQ(language.MessageText("000001"), "one");
    test::WriteHostFile(first, "[Messages]\n000001=uno\n");
    EXPECT_EQ(language.MessageText("000001"), "uno");
    language.SetFN(second);
    EXPECT_EQ(language.MessageText("000001"), "deux");
}

TEST_F(LanguageTest, SeparatorBlankAfterTrimmingBecomesComma) {
    TLanguage language;
    EXPECT_EQ(language.Separator(), "");
    for (const auto& [given, expected] : std::vector<std::pair<std::string, std::string>>{
             {"", ","}, {"   ", ","}, {"\t", ","}, {";", ";"}, {" | ", " | "}}) {
        language.SetSeparator(given);
        EXPECT_EQ(language.Separator(), expected) << "'" << given << "'";
    }
}

class TranslateTest : public LanguageTest {
  protected:
    TranslateTest() : application_("Application") {
        FakeComponent& form = application_.Add("WzdForm").WithString("Caption", "design form");
        form.Add("LbStart2").WithString("Caption", "design label").WithString("Hint", "design hint");
        form.Add("ComboBox1").WithStrings("Items", {"design item"});
        form.Add("Spin").WithInteger("Position", 7);
        language_.SetApplication(&application_);
    }

    FakeComponent& Form() { return application_.Child("WzdForm"); }

    FakeComponent application_;
    TLanguage language_;
};

TEST_F(TranslateTest, AppliesTextsToFormsComponentsAndPropertiesWithoutRegardToCase) {
    language_.SetFN(
        WriteLanguage("[Translations]\n"
                      "WzdForm.caption=Wizard\n"
                      "wzdform.lbstart2.CAPTION = Welcome\n"
                      "WzdForm.LbStart2.hint=Tip|Longer text\n"
                      "WzdForm.Spin.position=42\n"));
    language_.Properties() = {
        "  WzdForm.Caption ",   "", "   ", "WZDFORM.LBSTART2.CAPTION", "WzdForm.LbStart2.Hint",
        "WzdForm.Spin.Position"};
    language_.Translate();

    EXPECT_EQ(Form().String("caption"), "Wizard");
    EXPECT_EQ(Form().Child("LbStart2").String("caption"), "Welcome");
    EXPECT_EQ(Form().Child("LbStart2").String("hint"), "Tip|Longer text");
    EXPECT_EQ(Form().Child("Spin").Integer("position"), 42);
}

TEST_F(TranslateTest, SkipsEmptyTextsAndPathsThatNameNothing) {
    language_.SetFN(
        WriteLanguage("[Translations]\n"
                      "WzdForm.caption=\n"
                      "Closed.Label.caption=never applied\n"
                      "WzdForm.Missing.caption=never applied\n"
                      "WzdForm.LbStart2.NoSuchProperty=never applied\n"
                      "WzdForm.LbStart2.caption=applied\n"));
    language_.Properties() = {"WzdForm.caption",         "Closed.Label.caption",
                              "WzdForm.Missing.caption", "WzdForm.LbStart2.NoSuchProperty",
                              "WzdForm.LbStart2.Hint",   "WzdForm.LbStart2.caption"};
    language_.Translate();

    EXPECT_EQ(Form().String("caption"), "design form");
    EXPECT_EQ(Form().Child("LbStart2").String("hint"), "design hint");  // no text in the file
    EXPECT_EQ(Form().Child("LbStart2").String("caption"), "applied");
}

TEST_F(TranslateTest, WindowOpenedLaterIsTranslatedByTheNextPass) {
    language_.SetFN(WriteLanguage("[Translations]\nAboutForm.caption=About\n"));
    language_.Properties() = {"AboutForm.caption"};
    language_.Translate();  // not open yet: skipped

    application_.Add("AboutForm").WithString("caption", "design");
    EXPECT_EQ(application_.Child("AboutForm").String("caption"), "design");
    language_.Translate();
    EXPECT_EQ(application_.Child("AboutForm").String("caption"), "About");
}

TEST_F(TranslateTest, ListTextIsCutAtTheSeparator) {
    struct Case {
        std::string separator;
        std::string text;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {",", "a, b ,c", {"a", "b", "c"}},
        {"", "a, b ,c", {"a, b ,c"}},
        {",", "a,,b", {"a", "", "b"}},  // empty pieces between separators are kept
        {",", "a,b,", {"a", "b"}},      // an empty rest is not
        {",", ",a", {"", "a"}},
        {"--", "x -- y--z", {"x", "y", "z"}},
    };
    for (const Case& c : cases) {
        TLanguage language;
        language.SetApplication(&application_);
        language.SetFN(WriteLanguage("[Translations]\nWzdForm.ComboBox1.Items=" + c.text + "\n"));
        language.Properties() = {"WzdForm.ComboBox1.items"};
        if (!c.separator.empty()) language.SetSeparator(c.separator);
        language.Translate();
        EXPECT_EQ(Form().Child("ComboBox1").Strings("items"), c.items)
            << "'" << c.separator << "' " << c.text;
    }
}

TEST_F(TranslateTest, NonNumberForIntegerPropertyRaisesAndEndsThePass) {
    bool afterCalled = false;
    language_.OnAfterTranslation = [&](TLanguage&) { afterCalled = true; };
    for (const std::string text : {"12abc", "abc", "1.5", "99999999999", "0x10"}) {
        language_.SetFN(WriteLanguage("[Translations]\nWzdForm.Spin.Position=" + text +
                                      "\nWzdForm.caption=after the failure\n"));
        language_.Properties() = {"WzdForm.Spin.Position", "WzdForm.caption"};
        afterCalled = false;
        EXPECT_THROW(language_.Translate(), EConvertError) << text;
        EXPECT_EQ(Form().Child("Spin").Integer("Position"), 7);
        EXPECT_EQ(Form().String("caption"), "design form");
        EXPECT_FALSE(afterCalled);
    }
    language_.SetFN(WriteLanguage("[Translations]\nWzdForm.Spin.Position=-3\n"));
    language_.Properties() = {"WzdForm.Spin.Position"};
    language_.Translate();
    EXPECT_EQ(Form().Child("Spin").Integer("Position"), -3);
    EXPECT_TRUE(afterCalled);
}

TEST_F(TranslateTest, EventsFrameThePassAndOnTranslateMayChangeEachText) {
    language_.SetFN(
        WriteLanguage("[Translations]\nWzdForm.caption=Wizard\nWzdForm.LbStart2.caption=Welcome\nWzdForm."
                      "LbStart2.NoSuch=x\n"));
    language_.Properties() = {"WzdForm.caption", "WzdForm.LbStart2.caption", "WzdForm.LbStart2.NoSuch"};
    std::vector<std::string> calls;
    language_.OnBeforeTranslation = [&](TLanguage& sender) {
        EXPECT_EQ(&sender, &language_);
        calls.push_back("before");
    };
    language_.OnAfterTranslation = [&](TLanguage&) { calls.push_back("after"); };
    language_.OnTranslate = [&](TLanguage&, TranslatableComponent& component, const std::string& property,
                                const std::string& oldValue, std::string& newValue) {
        calls.push_back(component.Name() + "." + property + ":" + oldValue + "->" + newValue);
        if (component.Name() == "LbStart2") newValue = "[" + newValue + "]";
    };
    language_.Translate();

    const std::vector<std::string> expected = {"before", "WzdForm.caption:design form->Wizard",
                                               "LbStart2.caption:design label->Welcome",
                                               "LbStart2.NoSuch:->x", "after"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(Form().Child("LbStart2").String("caption"), "[Welcome]");
}

class RegEntriesTest : public LanguageTest {
  protected:
    RegEntriesTest() : registry_(dir_ / "registry.ini") {}
    RegistryStore registry_;
};

TEST_F(RegEntriesTest, FileWithoutRegSectionCreatesTheTestKeyEmpty) {
    TLanguage language;
    language.SetFN(WriteLanguage("[Messages]\n000001=x\n"));
    language.WriteRegEntries(registry_);
    EXPECT_TRUE(registry_.KeyExists(Hive::ClassesRoot, "TEST"));
    EXPECT_TRUE(registry_.ValueNames(Hive::ClassesRoot, "TEST").empty());
}

TEST_F(RegEntriesTest, CopiesEveryNonEmptyValueIncludingTheKeyName) {
    TLanguage language;
    language.SetFN(
        WriteLanguage("[reg]\nkey=vpkfile\\shell\nFriendlyTypeName=Query\nEmpty=\nOther = two words \n"));
    language.WriteRegEntries(registry_);
    const std::string key = "vpkfile\\shell";
    EXPECT_EQ(registry_.ReadString(Hive::ClassesRoot, key, "key"), key);
    EXPECT_EQ(registry_.ReadString(Hive::ClassesRoot, key, "FriendlyTypeName"), "Query");
    EXPECT_EQ(registry_.ReadString(Hive::ClassesRoot, key, "Other"), "two words");
    EXPECT_FALSE(registry_.ValueExists(Hive::ClassesRoot, key, "Empty"));
    EXPECT_FALSE(registry_.KeyExists(Hive::ClassesRoot, "TEST"));
}

TEST_F(RegEntriesTest, BlankKeyNameFallsBackToTestInsteadOfTheHiveRoot) {
    TLanguage language;
    language.SetFN(WriteLanguage("[reg]\nkey=  \nName=value\n"));
    language.WriteRegEntries(registry_);
    EXPECT_EQ(registry_.ReadString(Hive::ClassesRoot, "TEST", "Name"), "value");
    EXPECT_TRUE(registry_.ValueNames(Hive::ClassesRoot, "").empty());
}

TEST_F(RegEntriesTest, RefusedWriteRaisesNamingTheKey) {
    test::WriteHostFile(dir_ / "plain-file", "x");
    RegistryStore unwritable(dir_ / "plain-file/registry.ini");  // its folder is a file
    TLanguage language;
    language.SetFN(WriteLanguage("[reg]\nkey=vpkfile\nName=value\n"));
    try {
        language.WriteRegEntries(unwritable);
        FAIL() << "no error raised";
    } catch (const ERegistryException& e) {
        EXPECT_NE(std::string(e.what()).find("vpkfile"), std::string::npos) << e.what();
    }
}

TEST(LanguageFileNameTest, JoinsFolderAndLowerCasedName) {
    struct Case {
        std::string folder, name, expected;
    };
    const Case cases[] = {
        {"C:\\VPK\\", "Italian", "C:\\VPK\\italian.lgn"},
        {"C:\\VPK", "English", "C:\\VPK\\english.lgn"},
        {"/opt/vpk", "espanol", "/opt/vpk/espanol.lgn"},
        {"/opt/vpk/", "Deutsch", "/opt/vpk/deutsch.lgn"},
    };
    for (const Case& c : cases) EXPECT_EQ(LanguageFileName(c.folder, c.name), c.expected);
}

}  // namespace
}  // namespace vpk
