#include "zip_fixture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <stdexcept>

#include "engine/zip_format.h"
#include "repair/zip_fix.h"
#include "support/test_support.h"

namespace vpk::test {

namespace {

void Append16(std::string& s, std::uint16_t v) {
    std::uint8_t b[2];
    zip::Put16(b, v);
    s.append(reinterpret_cast<char*>(b), 2);
}
void Append32(std::string& s, std::uint32_t v) {
    std::uint8_t b[4];
    zip::Put32(b, v);
    s.append(reinterpret_cast<char*>(b), 4);
}
void Append64(std::string& s, std::uint64_t v) {
    std::uint8_t b[8];
    zip::Put64(b, v);
    s.append(reinterpret_cast<char*>(b), 8);
}

}  // namespace

std::string RawDeflate(const std::string& data) {
    z_stream z{};
    if (deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::uint32_t Crc32(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

ZipBuilder& ZipBuilder::Add(const FixtureEntry& entry) {
    const std::string payload = entry.deflate ? RawDeflate(entry.data) : entry.data;
    const std::uint32_t crc = Crc32(entry.data);
    Added added{entry, bytes_.size(), crc, payload.size()};
    std::uint16_t flags = entry.descriptor ? zip::kFlagDataDescriptor : 0;
    std::string extra;
    if (entry.zip64) {
        Append16(extra, zip::kExtraZip64);
        Append16(extra, 16);
        Append64(extra, entry.descriptor ? 0 : entry.data.size());
        Append64(extra, entry.descriptor ? 0 : payload.size());
    }
    Append32(bytes_, zip::kLocalHeaderSignature);
    Append16(bytes_, entry.zip64 ? zip::kVersionZip64 : zip::kVersionDeflated);
    Append16(bytes_, flags);
    Append16(bytes_, entry.deflate ? zip::kMethodDeflated : zip::kMethodStored);
    Append32(bytes_, 0x5A216000);  // 2025-01-01 12:00
    Append32(bytes_, entry.descriptor ? 0 : crc);
    const std::uint32_t compressed32 = entry.zip64 ? 0xFFFFFFFF : static_cast<std::uint32_t>(payload.size());
    const std::uint32_t uncompressed32 =
        entry.zip64 ? 0xFFFFFFFF : static_cast<std::uint32_t>(entry.data.size());
    Append32(bytes_,
             entry.storedCompressedSize.value_or(entry.descriptor && !entry.zip64 ? 0 : compressed32));
    Append32(bytes_,
             entry.storedUncompressedSize.value_or(entry.descriptor && !entry.zip64 ? 0 : uncompressed32));
    Append16(bytes_, static_cast<std::uint16_t>(entry.name.size()));
    Append16(bytes_, static_cast<std::uint16_t>(extra.size()));
    bytes_ += entry.name;
    bytes_ += extra;
    bytes_ += payload;
    if (entry.descriptor) {
        Append32(bytes_, zip::kDataDescriptorSignature);
        Append32(bytes_, crc);
        if (entry.zip64) {
            Append64(bytes_, payload.size());
            Append64(bytes_, entry.data.size());
        } else {
            Append32(bytes_, static_cast<std::uint32_t>(payload.size()));
            Append32(bytes_, static_cast<std::uint32_t>(entry.data.size()));
        }
    }
    entries_.push_back(std::move(added));
    return *this;
}

ZipBuilder& ZipBuilder::AddRaw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

std::string ZipBuilder::Finish() const {
    std::string directory;
    for (const auto& added : entries_) {
        const auto& e = added.entry;
        Append32(directory, zip::kCentralHeaderSignature);
        Append16(directory, zip::kVersionDeflated);
        Append16(directory, zip::kVersionDeflated);
        Append16(directory, e.descriptor ? zip::kFlagDataDescriptor : 0);
        Append16(directory, e.deflate ? zip::kMethodDeflated : zip::kMethodStored);
        Append32(directory, 0x5A216000);
        Append32(directory, added.crc);
        Append32(directory, static_cast<std::uint32_t>(added.compressed));
        Append32(directory, static_cast<std::uint32_t>(e.data.size()));
        Append16(directory, static_cast<std::uint16_t>(e.name.size()));
        for (int i = 0; i < 4; ++i) Append16(directory, 0);  // extra, comment, disk, internal
        Append32(directory, 0);
        Append32(directory, static_cast<std::uint32_t>(added.offset));
        directory += e.name;
    }
    std::string out = bytes_ + directory;
    Append32(out, zip::kEndRecordSignature);
    Append32(out, 0);
    Append16(out, static_cast<std::uint16_t>(entries_.size()));
    Append16(out, static_cast<std::uint16_t>(entries_.size()));
    Append32(out, static_cast<std::uint32_t>(directory.size()));
    Append32(out, static_cast<std::uint32_t>(bytes_.size()));
    Append16(out, 0);
    return out;
}

std::optional<std::vector<ListedEntry>> ListWithPython(const std::string& hostPath) {
    const std::string script =
        "import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1]) as z:\n"
        "    for i in z.infolist():\n"
        "        z.read(i)\n"
        "        print(f'{i.filename}\\t{i.file_size}\\t{i.CRC}\\t{i.flag_bits}')\n";
    std::string output;
    const std::string scriptPath = hostPath + ".list.py";
    WriteHostFile(scriptPath, script);
    if (RunShell("python3 '" + scriptPath + "' '" + hostPath + "' 2>/dev/null", &output) != 0)
        return std::nullopt;
    std::vector<ListedEntry> entries;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        ListedEntry entry;
        std::getline(fields, entry.name, '\t');
        fields >> entry.size >> entry.crc >> entry.flags;
        entries.push_back(entry);
    }
    return entries;
}

std::string RepairBytes(const std::string& input) {
    test::MemorySink sink;
    TZipFix fix;
    fix.SetInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    fix.SetOutput(&sink);
    fix.RepairArchive();
    return sink.bytes;
}

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

}  // namespace

// What every reader must say of a repaired archive holding exactly the expected entries.
void ExpectReadersAccept(const std::string& path, const std::vector<std::string>& expected) {
    std::string output;
    EXPECT_EQ(test::RunShell("7zz t '" + path + "'", &output), 0) << output;
    EXPECT_NE(output.find("Everything is Ok"), std::string::npos) << output;
    EXPECT_EQ(output.find("Warnings"), std::string::npos) << output;
    ASSERT_EQ(test::RunShell("bsdtar -tf '" + path + "'", &output), 0) << output;
    EXPECT_EQ(Lines(output), expected);
    ASSERT_EQ(test::RunShell("bsdtar -xOf '" + path + "' >/dev/null", &output), 0) << output;
    const auto listed = test::ListWithPython(path);
    ASSERT_TRUE(listed);
    std::vector<std::string> names;
    for (const auto& entry : *listed) names.push_back(entry.name);
    EXPECT_EQ(names, expected);
}

}  // namespace vpk::test
