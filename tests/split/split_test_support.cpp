#include "split_test_support.h"

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>

namespace vpk::test {

SplitTest::SplitTest() {
    installation_.Apply();
    Dialogs::Install(&dialogs_);
}

SplitTest::~SplitTest() {
    Dialogs::Install(nullptr);
}

std::string SplitTest::Host(std::string_view relative) const {
    std::string path = installation_.DriveHost('C') + "/" + std::string(relative);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string SplitTest::Virtual(std::string_view relative) {
    return "C:\\" + std::string(relative);
}

void SplitTest::Write(std::string_view relative, const std::string& contents, std::int64_t mtime) {
    WriteHostFile(Host(relative), contents);
    utimbuf times{static_cast<time_t>(mtime), static_cast<time_t>(mtime)};
    utime(Host(relative).c_str(), &times);
}

std::string SplitTest::Read(std::string_view relative) const {
    return ReadHostFile(Host(relative));
}

bool SplitTest::Exists(std::string_view relative) const {
    return HostExists(Host(relative));
}

std::string Int32(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

std::string Str(std::string_view bytes) {
    return Int32(static_cast<std::int32_t>(bytes.size())) + std::string(bytes);
}

std::string Mark() {
    return std::string("EC2\0", 4);
}

std::string RawChunk(std::string_view data) {
    return Int32(-static_cast<std::int32_t>(data.size())) + std::string(data);
}

std::string StoredZlibChunk(std::string_view data) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    const std::uint32_t adler = (b << 16) | a;
    const auto len = static_cast<std::uint16_t>(data.size());
    std::string stream = {'\x78',
                          '\x01',
                          '\x01',
                          static_cast<char>(len & 0xFF),
                          static_cast<char>(len >> 8),
                          static_cast<char>(~len & 0xFF),
                          static_cast<char>((~len >> 8) & 0xFF)};
    stream += data;
    stream += {static_cast<char>(adler >> 24), static_cast<char>((adler >> 16) & 0xFF),
               static_cast<char>((adler >> 8) & 0xFF), static_cast<char>(adler & 0xFF)};
    return Int32(static_cast<std::int32_t>(stream.size())) + stream;
}

std::string Header(std::string_view title, std::int32_t total, std::int32_t count) {
    return Str(title) + Int32(total) + Int32(count);
}

std::string NextDisk(int piece) {
    std::string digits = "00" + std::to_string(piece);
    return Str("NEXT:DISK" + digits.substr(digits.size() - 3));
}

std::string NoiseBytes(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

}  // namespace vpk::test
