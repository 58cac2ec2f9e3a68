#include "engine/zip_messages.h"

#include <gtest/gtest.h>

#include "engine/ezip_engine.h"

namespace vpk {
namespace {

TEST(ZipMessagesTest, TextsComeFromTheTableAndAMissingOneSaysSo) {
    EXPECT_EQ(zipmsg::ZipMessageText(10204), "Warning - Garbage at the end of the zipfile!");
    EXPECT_EQ(zipmsg::ZipMessageText(10150), "Erreur - pas de mot de passe donn\xC3\xA9");
    EXPECT_EQ(zipmsg::ZipMessageText(11045),
              "This is the first file in a backup set,\nplease choose the last file of this set");
    EXPECT_FALSE(zipmsg::HasZipMessage(11005));
    EXPECT_EQ(zipmsg::ZipMessageText(11005),
              "The message table is probably not linked to the executable\nMissing String ID is: 11005");
}

TEST(ZipMessagesTest, ExceptionsFormatOneValueIntoTheText) {
    struct Case {
        EZipEngine error;
        const char* text;
        bool shown;
    };
    const Case cases[] = {
        {EZipEngine(10304, -3LL), "Error -3 occurred during Auto SFX creation.", true},
        {EZipEngine(11038, 4LL),
         "This is the 4th disk in a backup set,\nplease insert the last disk of this set", true},
        {EZipEngine(11003, std::string_view("Q:\\")), "Not a valid drive: Q:\\", true},
        {EZipEngine(11007, false), "User canceled operation", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(c.error.what()), c.text);
        EXPECT_EQ(c.error.ShowToUser(), c.shown) << c.text;
    }
    EXPECT_EQ(EZipEngine(11004, std::string_view("A:\\")).MessageId(), 11004);
}

TEST(ZipMessagesTest, FormattingNeverInterpretsTheValue) {
    EXPECT_EQ(FormatMessageText("Drive %s is NOT defined", "%s%n%d"), "Drive %s%n%d is NOT defined");
    EXPECT_EQ(FormatMessageText("100%% done, %d left", "7"), "100% done, 7 left");
    EXPECT_EQ(FormatMessageText("no conversion", "x"), "no conversion");
    EXPECT_EQ(FormatMessageText("%d and %d", "1"), "1 and %d");
}

}  // namespace
}  // namespace vpk
