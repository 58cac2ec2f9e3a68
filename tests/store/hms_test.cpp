#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lhasa_reference.h"
#include "platform/platform_error.h"
#include "store/blowfish_cipher.h"
#include "store/hms.h"
#include "support/test_support.h"

namespace vpk {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kEmptyBody{1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0};

std::string Read(const THms& store, const std::string& name) {
    std::string out;
    EXPECT_TRUE(store.ReadStream(name, out)) << name;
    return out;
}

THms Configured(bool compressed, bool encrypted, const std::string& key = "secret key") {
    THms store;
    store.SetCompressed(compressed);
    store.SetEncrypted(encrypted);
    store.SetKey(key);
    return store;
}

TEST(Hms, EmptyStoreInEveryForm) {
    for (const bool compressed : {false, true}) {
        for (const bool encrypted : {false, true}) {
            SCOPED_TRACE(std::to_string(compressed) + std::to_string(encrypted));
            const THms store = Configured(compressed, encrypted);
            const Bytes file = store.SaveToBytes();
            ASSERT_GE(file.size(), 2u);
            EXPECT_EQ(file[0], compressed ? '&' : ' ');
            EXPECT_EQ(file[1], encrypted ? '*' : ' ');
            Bytes rest(file.begin() + 2, file.end());
            if (encrypted) {
                EXPECT_EQ(rest.size() % 8, 0u);
                Bytes plain;
                ASSERT_TRUE(BlowfishCipher("secret key").Decipher(rest, plain));
                rest = plain;
            }
            if (compressed) {
                ASSERT_GE(rest.size(), 4u);
                EXPECT_EQ(Bytes(rest.begin(), rest.begin() + 4), (Bytes{12, 0, 0, 0}));
                rest = test::LhasaDecode(Bytes(rest.begin() + 4, rest.end()), 12).value_or(Bytes{});
            }
            EXPECT_EQ(rest, kEmptyBody);

            THms loaded = Configured(!compressed, !encrypted);
            loaded.AddStream("old", "entry");
            loaded.LoadFromBytes(file);
            EXPECT_EQ(loaded.Count(), 0u);
            EXPECT_EQ(loaded.Compressed(), compressed);
            EXPECT_EQ(loaded.Encrypted(), encrypted);
        }
    }
}

TEST(Hms, PlainFileIsTwoBlanksAndTheBodyInNameOrder) {
    THms store = Configured(false, false);
    store.AddStream("b", "xyz");
    store.AddStream("A", std::string("\0\1", 2));
    const Bytes expected{' ', ' ', 1,   2, 3, 4, 5, 6,   7,   8,  2, 0, 0, 0,  // signature, two entries
                         1,   0,   'A', 2, 0, 0, 0, 0,   1,                    // "A" first: names ignore case
                         1,   0,   'b', 3, 0, 0, 0, 'x', 'y', 'z'};
    EXPECT_EQ(store.SaveToBytes(), expected);
}

TEST(Hms, NamesIgnoreCaseAndTheLastCopyWins) {
    THms store;
    store.AddStream("1", "first");
    store.AddStream("1", "second");
    store.AddStream("abc", "lower");
    store.AddStream("ABC", "upper");
    store.AddStream("", "ignored");
    EXPECT_EQ(store.Count(), 2u);
    EXPECT_EQ(Read(store, "1"), "second");
    EXPECT_EQ(Read(store, "Abc"), "upper");
    std::string appended = "keep:";
    EXPECT_TRUE(store.ReadStream("abc", appended));
    EXPECT_EQ(appended, "keep:upper");
    EXPECT_FALSE(store.ReadStream("missing", appended));
    EXPECT_EQ(appended, "keep:upper");
    store.ClearStreams();
    EXPECT_EQ(store.Count(), 0u);
}

TEST(Hms, RoundTripsEntriesInEveryForm) {
    std::mt19937 rng(2);
    Bytes big(300000);
    for (auto& b : big) b = static_cast<std::uint8_t>(rng() % 16);
    for (const bool compressed : {false, true}) {
        for (const bool encrypted : {false, true}) {
            THms store = Configured(compressed, encrypted);
            store.AddStream("1", "12345\r\n");
            store.AddStream("big", big);
            store.AddStream("\xC3\xA9t\xC3\xA9", "accented name");  // "été": one ANSI byte a letter
            THms loaded = Configured(true, false, "secret key");
            loaded.LoadFromBytes(store.SaveToBytes());
            EXPECT_EQ(loaded.Names(), (std::vector<std::string>{"1", "big", "\xC3\xA9t\xC3\xA9"}));
            EXPECT_EQ(Read(loaded, "1"), "12345\r\n");
            EXPECT_EQ(Read(loaded, "\xC3\x89T\xC3\x89"), "accented name");
            Bytes back;
            loaded.ReadStream("big", back);
            EXPECT_EQ(back, big);
        }
    }
}

TEST(Hms, KeyComesFromTheAskForKeyEvent) {
    THms writer = Configured(true, true, "the key");
    writer.AddStream("1", "x");
    const Bytes file = writer.SaveToBytes();

    THms reader = Configured(false, false, "wrong");
    int asked = 0;
    reader.OnAskForKey = [&](THms&) {
        ++asked;
        return std::string("the key");
    };
    reader.LoadFromBytes(file);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(reader.Key(), "the key");
    EXPECT_TRUE(reader.Encrypted());
    EXPECT_TRUE(reader.Compressed());
}

TEST(Hms, EncryptedWithoutKeyIsWrittenInClear) {
    THms store = Configured(false, true, "");
    EXPECT_EQ(store.SaveToBytes()[1], ' ');
}

// A failed load raises after OnCorrupt and leaves the store as it was.
void ExpectCorrupt(THms& store, const Bytes& file) {
    int corruptCalls = 0;
    store.OnCorrupt = [&](THms&) { ++corruptCalls; };
    const std::vector<std::string> namesBefore = store.Names();
    const bool compressedBefore = store.Compressed();
    const std::string keyBefore = store.Key();
    try {
        store.LoadFromBytes(file);
        ADD_FAILURE() << "accepted";
    } catch (const ECorruptFile& e) {
        EXPECT_STREQ(e.what(), "File corrupt.");
    }
    EXPECT_EQ(corruptCalls, 1);
    EXPECT_EQ(store.Names(), namesBefore);
    EXPECT_EQ(store.Compressed(), compressedBefore);
    EXPECT_EQ(store.Key(), keyBefore);
}

TEST(Hms, OtherKeyIsCorrupt) {
    for (const bool compressed : {false, true}) {
        THms writer = Configured(compressed, true, "one key");
        writer.AddStream("1", "42");
        THms reader = Configured(false, false, "another key");
        reader.AddStream("kept", "yes");
        ExpectCorrupt(reader, writer.SaveToBytes());
        THms noKey = Configured(false, false, "");
        ExpectCorrupt(noKey, writer.SaveToBytes());
    }
}

TEST(Hms, DamagedFilesAreCorrupt) {
    THms source = Configured(false, false);
    source.AddStream("name", "data");
    const Bytes plain = source.SaveToBytes();  // marks, 12 bytes, 2+4 name, 4+4 data
    auto with = [&](std::size_t at, std::uint8_t value) {
        Bytes b = plain;
        b[at] = value;
        return b;
    };
    const std::vector<std::pair<const char*, Bytes>> cases{
        {"nothing", {}},
        {"marks only", {' ', ' '}},
        {"signature", with(2, 9)},
        {"negative count", with(13, 0x80)},
        {"count beyond the entries", with(10, 2)},
        {"name past the end", with(14, 0xFF)},
        {"data past the end", with(20, 5)},
        {"negative data length", with(23, 0x80)},
        {"cut inside the data", Bytes(plain.begin(), plain.end() - 1)},
        {"compressed mark on a plain body", with(0, '&')},
        {"compressed, length only", {'&', ' ', 12, 0, 0, 0}},
        {"compressed, negative length", {'&', ' ', 0, 0, 0, 0x80, 0}},
        {"enciphered mark, not whole blocks", with(1, '*')},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        THms store;
        store.AddStream("previous", "entry");
        ExpectCorrupt(store, file);
    }
}

TEST(Hms, ForgedBodyLengthIsRefused) {
    THms source = Configured(true, false);
    Bytes file = source.SaveToBytes();
    file[2] = 0xFF, file[3] = 0xFF, file[4] = 0xFF, file[5] = 0x7F;  // 2 GiB from a few bytes
    THms store;
    store.SetMaxBodySize(1 << 20);
    ExpectCorrupt(store, file);
}

// Damage anywhere ends in a whole new content or in ECorruptFile with the old content kept.
TEST(Hms, ArbitraryDamageLoadsAllOrNothing) {
    THms source = Configured(true, false);
    source.AddStream("1", "1234\r\n");
    source.AddStream("other", std::string(3000, 'q') + "tail");
    std::mt19937 rng(9);
    for (const bool encrypted : {false, true}) {
        source.SetEncrypted(encrypted);
        const Bytes valid = source.SaveToBytes();
        for (int round = 0; round < 1500; ++round) {
            Bytes file = valid;
            file[2 + rng() % (file.size() - 2)] ^= static_cast<std::uint8_t>(1 + rng() % 255);
            if (round % 3 == 0) file.resize(2 + rng() % (file.size() - 2));
            THms store = Configured(true, false, "secret key");
            store.AddStream("previous", "entry");
            try {
                store.LoadFromBytes(file);
                std::string previous;
                EXPECT_FALSE(store.ReadStream("previous", previous));  // replaced whole
            } catch (const ECorruptFile&) {
                EXPECT_EQ(store.Names(), std::vector<std::string>{"previous"});  // left whole
            }
        }
    }
}

TEST(Hms, FileRoundTripAndOpenError) {
    test::TempDir dir;
    THms store = Configured(true, true);
    store.AddStream("1", "7\r\n");
    store.SaveToFile(dir / "store.cfg");
    EXPECT_EQ(test::ReadHostFile(dir / "store.cfg").substr(0, 2), "&*");
    THms loaded = Configured(false, false);
    loaded.LoadFromFile(dir / "store.cfg");
    EXPECT_EQ(Read(loaded, "1"), "7\r\n");
    EXPECT_THROW(loaded.LoadFromFile(dir / "missing.cfg"), PlatformError);
    EXPECT_EQ(loaded.Count(), 1u);
}

}  // namespace
}  // namespace vpk
