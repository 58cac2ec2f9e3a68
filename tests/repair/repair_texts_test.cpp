// Small routines of the repair: message texts, the default destination name, the size rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/zip_format.h"
#include "repair/format_integers.h"
#include "repair/repaired_archive_name.h"
#include "repair/size_plausibility.h"

namespace vpk {
namespace {

TEST(FormatIntegersTest, FillsPlacesInOrderAndLeavesOtherPercentSignsAlone) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"%d of %d files recovered", "3 of 7 files recovered"},
        {"%d%% saved (%d)", "3% saved (7)"},
        {"%d %d %d", "3 7 %d"},        // more places than values
        {"%s %n %x %", "%s %n %x %"},  // never interpreted
        {"none", "none"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatIntegers(c.text, {3, 7}), c.expected) << c.text;
}

TEST(RepairedArchiveNameTest, ReplacesTheExtensionByTheSuffix) {
    struct Case {
        std::string source;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"C:\\SAVE\\backup.zip", "C:\\SAVE\\backupSOS.zip"},
        {"C:\\SAVE\\setup.EXE", "C:\\SAVE\\setupSOS.zip"},
        {"C:\\SAVE\\archive.old.zip", "C:\\SAVE\\archive.oldSOS.zip"},
        {"C:\\SAVE.D\\noext", "C:\\SAVE.D\\noextSOS.zip"},
        {"/tmp/x.y/a.zip", "/tmp/x.y/aSOS.zip"},
    };
    for (const auto& c : cases) EXPECT_EQ(RepairedArchiveName(c.source, "SOS.zip"), c.expected);
}

TEST(SizePlausibilityTest, AllowsWhatCompressionAndEncryptionAddAndNoMore) {
    struct Case {
        std::uint16_t method;
        std::uint16_t flags;
        std::uint64_t compressed;
        std::uint64_t uncompressed;
        bool plausible;
    };
    const std::vector<Case> cases = {
        {zip::kMethodStored, 0, 100, 100, true},
        {zip::kMethodStored, 0, 101, 100, false},
        {zip::kMethodStored, zip::kFlagEncrypted, 112, 100, true},
        {zip::kMethodStored, zip::kFlagEncrypted, 113, 100, false},
        {zip::kMethodDeflated, 0, 2, 0, true},                     // empty file
        {zip::kMethodDeflated, 0, 1000000 + 2000, 1000000, true},  // incompressible
        {zip::kMethodDeflated, 0, 2000000, 1000000, false},
        {zip::kMethodDeflated, 0, 0xFFFFFFFF, 16, false},
        {zip::kMethodDeflated, 0, 10, 1000, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SizesPlausible(c.method, c.flags, c.compressed, c.uncompressed), c.plausible)
            << c.method << " " << c.compressed << "/" << c.uncompressed;
    }
}

}  // namespace
}  // namespace vpk
