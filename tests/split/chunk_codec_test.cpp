// The rule that picks between a zlib stream and raw bytes for each chunk, and what counts as a
// damaged stream on the way back.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "split/chunk_codec.h"
#include "split/split_format.h"
#include "split_test_support.h"

namespace vpk::split {
namespace {

using test::NoiseBytes;

struct Stored {
    ChunkForm form;
    std::string bytes;
};

Stored Compress(const std::string& data, int level) {
    std::vector<std::uint8_t> out(kChunkSize);
    std::size_t size = 0;
    const auto form = CompressChunk(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), level,
                                    out.data(), &size);
    return {form, std::string(reinterpret_cast<const char*>(out.data()), size)};
}

std::string Expand(const std::string& stored, ExpandResult* result) {
    std::vector<std::uint8_t> out(kChunkSize);
    std::size_t produced = 0;
    *result = ExpandChunk(reinterpret_cast<const std::uint8_t*>(stored.data()), stored.size(), out.data(),
                          &produced);
    return std::string(reinterpret_cast<const char*>(out.data()), produced);
}

TEST(ChunkCodecTest, PicksZlibOrRawByWhetherTheStreamFits) {
    struct Row {
        std::string data;
        int level;
        ChunkForm form;
        std::size_t storedSize;  // for Compressed; 0 = only "smaller than the data"
    } rows[] = {
        // Level 0: stored blocks cost 11 bytes (2 header, 5 block header, 4 Adler-32).
        {std::string(kChunkSize, 'a'), 0, ChunkForm::Raw, 0},
        {std::string(kChunkSize - 11, 'a'), 0, ChunkForm::Compressed, kChunkSize},
        {std::string(kChunkSize - 10, 'a'), 0, ChunkForm::Raw, 0},
        {"hello", 0, ChunkForm::Compressed, 16},
        {"", 0, ChunkForm::Compressed, 0},
        // Noise never fits at any level once the chunk is full.
        {NoiseBytes(kChunkSize), 1, ChunkForm::Raw, 0},
        {NoiseBytes(kChunkSize), -1, ChunkForm::Raw, 0},
        {NoiseBytes(kChunkSize), 9, ChunkForm::Raw, 0},
        {std::string(kChunkSize, 'a'), 1, ChunkForm::Compressed, 0},
        {std::string(kChunkSize, 'a'), 9, ChunkForm::Compressed, 0},
    };
    for (const auto& row : rows) {
        const Stored stored = Compress(row.data, row.level);
        ASSERT_EQ(stored.form, row.form) << row.data.size() << " bytes at level " << row.level;
        if (stored.form != ChunkForm::Compressed) continue;
        if (row.storedSize) {
            EXPECT_EQ(stored.bytes.size(), row.storedSize);
        }
        ExpandResult result;
        EXPECT_EQ(Expand(stored.bytes, &result), row.data);
        EXPECT_EQ(result, ExpandResult::Ok);
    }
}

TEST(ChunkCodecTest, OversizedInputIsRefused) {
    EXPECT_EQ(Compress(std::string(kChunkSize + 1, 'a'), 1).form, ChunkForm::Failed);
}

TEST(ChunkCodecTest, DamagedStreamsAreReportedWithWhatTheyGave) {
    const std::string good = Compress(std::string(5000, 'q') + "tail", 1).bytes;
    std::string flipped = good;
    flipped[flipped.size() - 1] ^= 0x55;  // Adler-32 no longer matches
    // A stream that expands beyond one chunk: the format never holds one.
    std::string big(kChunkSize + 100, 'z');
    std::vector<Bytef> bigStream(compressBound(big.size()));
    uLongf bigSize = bigStream.size();
    ASSERT_EQ(compress(bigStream.data(), &bigSize, reinterpret_cast<const Bytef*>(big.data()), big.size()),
              Z_OK);
    struct Row {
        const char* what;
        std::string stored;
    } rows[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"bad checksum", flipped},
        {"not zlib", "this is not a zlib stream"},
        {"empty", ""},
        {"beyond a chunk", std::string(reinterpret_cast<const char*>(bigStream.data()), bigSize)},
    };
    for (const auto& row : rows) {
        ExpandResult result;
        const std::string produced = Expand(row.stored, &result);
        EXPECT_EQ(result, ExpandResult::Damaged) << row.what;
        EXPECT_LE(produced.size(), kChunkSize) << row.what;
    }
}

}  // namespace
}  // namespace vpk::split
