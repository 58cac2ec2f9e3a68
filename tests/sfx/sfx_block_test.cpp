// The SFX header block: its length, option bits, both block forms, and damaged blocks.
#include <gtest/gtest.h>

#include "engine/sfx_block.h"

namespace vpk {
namespace {

SfxSettings Texts(std::string caption, std::string dir, std::string command, std::string message) {
    SfxSettings s;
    s.caption = std::move(caption);
    s.defaultDir = std::move(dir);
    s.commandLine = std::move(command);
    s.message = std::move(message);
    return s;
}

TEST(SfxBlockTest, LengthIsTwelvePlusTheTextsRoundedToFour) {
    struct Row {
        SfxSettings settings;
        std::size_t length;
    } rows[] = {
        {Texts("", "", "", ""), 12},
        {Texts("a", "", "", ""), 16},
        {Texts("abcd", "", "", ""), 16},
        {Texts("abcd", "e", "", ""), 20},
        {Texts(std::string(255, 'c'), std::string(255, 'd'), std::string(255, 'e'), std::string(255, 'f')),
         1032},
    };
    for (const Row& row : rows) {
        const std::string block = BuildSfxBlock(row.settings);
        EXPECT_EQ(SfxBlockLength(row.settings), row.length);
        ASSERT_EQ(block.size(), row.length);
        EXPECT_EQ(block.substr(0, 3), "MPV");
        EXPECT_EQ(static_cast<unsigned char>(block[6]) | static_cast<unsigned char>(block[7]) << 8,
                  row.length);
        EXPECT_EQ(block[4], 0);
        EXPECT_EQ(block[5], 1);
    }
    EXPECT_FALSE(SfxTextsTooLong(rows[4].settings));
    EXPECT_TRUE(SfxTextsTooLong(Texts(std::string(256, 'c'), "", "", "")));
}

TEST(SfxBlockTest, OptionBitsFollowTheOptionsAndReadBack) {
    struct Row {
        SFXOpts options;
        OvrOpts overwrite;
        std::uint8_t bits;
    } rows[] = {
        {{SFXOptsEnum::SFXCheckSize}, OvrOpts::OvrConfirm, 0},
        {{}, OvrOpts::OvrConfirm, 32},
        {{SFXOptsEnum::SFXAskCmdLine, SFXOptsEnum::SFXCheckSize}, OvrOpts::OvrAlways, 1 | 8},
        {{SFXOptsEnum::SFXAskFiles, SFXOptsEnum::SFXHideOverWriteBox, SFXOptsEnum::SFXCheckSize},
         OvrOpts::OvrNever,
         2 | 4 | 16},
        {{SFXOptsEnum::SFXAutoRun, SFXOptsEnum::SFXNoSuccessMsg}, OvrOpts::OvrConfirm, 64 | 128 | 32},
    };
    for (const Row& row : rows) {
        SfxSettings s = Texts("Caption", "><sub", "><run.sh", "\x01Go?");
        s.options = row.options;
        s.overwrite = row.overwrite;
        const std::string block = BuildSfxBlock(s);
        EXPECT_EQ(static_cast<std::uint8_t>(block[3]), row.bits);
        const auto back = ParseSfxBlock(block);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, s);
    }
}

TEST(SfxBlockTest, OlderFormHasNoMessageAndKeepsTheRest) {
    // "MPU", bits, three lengths, then the texts one after the other.
    const std::string block =
        std::string("MPU") + char(64 | 2) + char(3) + char(2) + char(4) + "Cap" + "Dd" + "Run!";
    SfxSettings base;
    base.message = "kept";
    base.options.Include(SFXOptsEnum::SFXNoSuccessMsg);
    const auto s = ParseSfxBlock(block, base);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->caption, "Cap");
    EXPECT_EQ(s->defaultDir, "Dd");
    EXPECT_EQ(s->commandLine, "Run!");
    EXPECT_EQ(s->message, "kept");
    EXPECT_TRUE(s->options.Has(SFXOptsEnum::SFXAutoRun));
    EXPECT_TRUE(s->options.Has(SFXOptsEnum::SFXAskFiles));
    EXPECT_TRUE(s->options.Has(SFXOptsEnum::SFXNoSuccessMsg));
}

TEST(SfxBlockTest, DamagedBlocksAreRefusedAndTheSignatureIsFound) {
    const std::string good = BuildSfxBlock(Texts("Caption", "dir", "cmd", "msg"));
    EXPECT_FALSE(ParseSfxBlock(good.substr(0, 12)));  // texts cut off
    EXPECT_FALSE(ParseSfxBlock("MPX" + good.substr(3)));
    EXPECT_FALSE(ParseSfxBlock(std::string("MPU") + char(0) + char(200) + char(0) + char(0) + "short"));
    EXPECT_EQ(FindSfxBlock("stub bytes MP, MPQ " + good), 19u);
    EXPECT_EQ(FindSfxBlock("no block here MP"), std::string::npos);
}

}  // namespace
}  // namespace vpk
