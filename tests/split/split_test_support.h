#pragma once
// What the split tests share: an installation whose C: drive is a temporary folder, scripted dialogs,
// and builders for container bytes written by hand (so the writer is checked against the format, not
// against the reader).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/dialogs.h"
#include "split/backup_file.h"
#include "support/test_support.h"

namespace vpk::test {

class SplitTest : public ::testing::Test {
  protected:
    SplitTest();
    ~SplitTest() override;

    // "data\\a.txt" → host path under drive C:, and its virtual form "C:\\data\\a.txt".
    std::string Host(std::string_view relative) const;
    static std::string Virtual(std::string_view relative);
    void Write(std::string_view relative, const std::string& contents, std::int64_t mtime = 1'600'000'000);
    std::string Read(std::string_view relative) const;
    bool Exists(std::string_view relative) const;

    TestInstallation installation_;
    ScriptedDialogs dialogs_;
};

// Little-endian container pieces.
std::string Int32(std::int32_t value);
std::string Str(std::string_view bytes);  // length, bytes
std::string Mark();                       // "EC2\0"
std::string RawChunk(std::string_view data);
// A chunk holding data as a level-0 zlib stream: header 78 01, one final stored block, Adler-32.
std::string StoredZlibChunk(std::string_view data);
std::string Header(std::string_view title, std::int32_t total, std::int32_t count);
std::string NextDisk(int piece);

// Deterministic bytes that no compressor shrinks.
std::string NoiseBytes(std::size_t size, std::uint32_t seed = 1);

}  // namespace vpk::test
