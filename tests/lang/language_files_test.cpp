// The shipped language files against the list of keys the programs look up: every file defines every
// key and property path, in the list's order, and nothing the programs never read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lang/language.h"
#include "lang/language_choice.h"
#include "lang/language_keys.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "support/test_support.h"

namespace vpk {
namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string key;
    std::string value;
};
struct Section {
    std::string name;
    std::vector<Entry> entries;
};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// A value in quotes keeps the blanks at its ends; the quotes themselves are not part of the text.
std::string_view Unquoted(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
    return v;
}

// Reads every section and key in file order; the program's own lookups cannot list a whole
// "Translations" section (key lists stop at 8192 bytes).
std::vector<Section> ParseSections(const std::string& text, std::vector<std::string>& problems) {
    std::vector<Section> sections;
    std::istringstream in(text);
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') problems.push_back("line " + std::to_string(number) + ": bad section");
            sections.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || sections.empty()) {
            problems.push_back("line " + std::to_string(number) + ": not a key");
            continue;
        }
        sections.back().entries.push_back(
            {std::string(Trim(line.substr(0, eq))), std::string(Unquoted(Trim(line.substr(eq + 1))))});
    }
    return sections;
}

std::vector<std::string> Keys(const Section& section) {
    std::vector<std::string> keys;
    for (const Entry& e : section.entries) keys.push_back(e.key);
    return keys;
}

std::string Value(const Section& section, std::string_view key) {
    for (const Entry& e : section.entries)
        if (e.key == key) return e.value;
    return {};
}

template <typename List>
std::vector<std::string> Strings(const List& list) {
    return {list.begin(), list.end()};
}

// Names missing from `actual` and names `actual` has beyond `expected`, for a readable failure.
std::string Difference(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    std::string report;
    for (const auto& k : expected)
        if (std::find(actual.begin(), actual.end(), k) == actual.end()) report += " missing:" + k;
    for (const auto& k : actual)
        if (std::find(expected.begin(), expected.end(), k) == expected.end()) report += " unused:" + k;
    return report.empty() ? " same keys, other order or duplicates" : report;
}

std::string AssetFolder() {
    return test::SourceDir() + "/assets/files";
}

std::vector<std::string> ShippedLanguageFiles() {
    std::vector<std::string> files;
    for (const auto& item : fs::directory_iterator(AssetFolder()))
        if (item.path().extension() == ".lgn") files.push_back(item.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(LanguageFilesTest, KeyListsHaveNoDuplicates) {
    for (auto list : {Strings(language_keys::MessageKeys()), Strings(language_keys::ButtonKeys()),
                      Strings(language_keys::ThanksKeys()), Strings(language_keys::AllTranslations())}) {
        std::vector<std::string> upper;
        for (const auto& k : list) upper.push_back(UpperCase(k));
        std::sort(upper.begin(), upper.end());
        EXPECT_EQ(std::adjacent_find(upper.begin(), upper.end()), upper.end()) << list.front();
    }
    EXPECT_EQ(language_keys::BackupTranslations().size(), 159u);
    EXPECT_EQ(language_keys::ViewerTranslations().size(), 54u);
    EXPECT_EQ(language_keys::WizardTranslations().size(), 174u);
}

TEST(LanguageFilesTest, EveryShippedFileDefinesExactlyTheKeysTheProgramsUse) {
    const std::vector<std::string> files = ShippedLanguageFiles();
    ASSERT_FALSE(files.empty());
    const std::vector<std::pair<std::string_view, std::vector<std::string>>> expected = {
        {language_keys::kTranslationsSection, Strings(language_keys::AllTranslations())},
        {language_keys::kMessagesSection, Strings(language_keys::MessageKeys())},
        {language_keys::kButtonsSection, Strings(language_keys::ButtonKeys())},
        {language_keys::kThanksSection, Strings(language_keys::ThanksKeys())},
    };

    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string bytes = test::ReadHostFile(file);
        EXPECT_TRUE(IsValidUtf8(bytes));
        std::vector<std::string> problems;
        const std::vector<Section> sections = ParseSections(bytes, problems);
        EXPECT_TRUE(problems.empty()) << problems.front();

        ASSERT_EQ(sections.size(), expected.size() + 1);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(sections[i].name, expected[i].first);
            const std::vector<std::string> keys = Keys(sections[i]);
            EXPECT_EQ(keys, expected[i].second)
                << sections[i].name << ":" << Difference(expected[i].second, keys);
            for (const Entry& e : sections[i].entries) {
                EXPECT_FALSE(e.value.empty()) << e.key;
                EXPECT_LE(e.value.size(), profile::kMaxValueLength) << e.key;
            }
        }
        EXPECT_EQ(sections.back().name, language_keys::kRegSection);
        const std::vector<std::string> regKeys = Keys(sections.back());
        EXPECT_EQ(std::count(regKeys.begin(), regKeys.end(), "key"), 1);

        // The program's own lookups read the same texts (first, middle and last key of each list).
        TLanguage language;
        language.SetFN(file);
        const auto sample = [](auto list) {
            return std::vector<std::string_view>{list.front(), list[list.size() / 2], list.back()};
        };
        for (std::string_view key : sample(language_keys::MessageKeys()))
            EXPECT_EQ(language.MessageText(key), Value(sections[1], key)) << key;
        for (std::string_view key : sample(language_keys::ButtonKeys()))
            EXPECT_EQ(language.ButtonText(key), Value(sections[2], key)) << key;
        for (std::string_view key : sample(language_keys::ThanksKeys()))
            EXPECT_EQ(language.ThanksText(key), Value(sections[3], key)) << key;
    }
}

// The schedule line stores the position of the chosen day in the wizard's list, so every language must
// give the 44 items in the same order, without commas inside an item.
TEST(LanguageFilesTest, WizardDayListHasTheFortyFourScheduleItems) {
    for (const std::string& file : ShippedLanguageFiles()) {
        const std::string text = profile::ReadString(file, "Translations", "WzdForm.ComboBox1.items");
        EXPECT_EQ(std::count(text.begin(), text.end(), ',') + 1, 44) << file;
    }
}

TEST(LanguageFilesTest, EveryShippedFileIsALanguageOfTheMenu) {
    for (const std::string& file : ShippedLanguageFiles()) {
        const std::string name = fs::path(file).filename().string();
        const auto entries = LanguageEntries();
        EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const LanguageEntry& e) {
            return LanguageFileName("", e.name) == name;
        })) << name;
    }
}

// A language whose file is missing keeps its menu entry disabled, so every entry must ship its file.
TEST(LanguageFilesTest, AllSixLanguageFilesAreShipped) {
    for (const LanguageEntry& entry : LanguageEntries()) {
        EXPECT_TRUE(test::HostExists(AssetFolder() + "/" + LanguageFileName("", entry.name))) << entry.name;
    }
}

}  // namespace
}  // namespace vpk
