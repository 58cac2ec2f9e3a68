#include "store/hms.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

#include "platform/file.h"
#include "platform/text_codec.h"
#include "store/blowfish_cipher.h"
#include "store/lh5_decoder.h"
#include "store/lh5_encoder.h"

namespace vpk {

namespace {

constexpr std::uint8_t kCompressedMark = '&';
constexpr std::uint8_t kEncipheredMark = '*';
constexpr std::uint8_t kNoMark = ' ';
constexpr std::size_t kMarksSize = 2;
constexpr std::array<std::uint8_t, 8> kSignature{1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::size_t kLengthSize = 4;  // body length before the lh5 data; entry counts and data lengths
constexpr std::size_t kNameLengthSize = 2;
constexpr std::size_t kMaxNameBytes = std::numeric_limits<std::uint16_t>::max();
constexpr std::size_t kMaxDataBytes = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

std::uint32_t GetU32(std::span<const std::uint8_t> data, std::size_t at) {
    return std::uint32_t{data[at]} | (std::uint32_t{data[at + 1]} << 8) |
           (std::uint32_t{data[at + 2]} << 16) | (std::uint32_t{data[at + 3]} << 24);
}

bool HasSignature(std::span<const std::uint8_t> body) {
    return body.size() >= kSignature.size() && std::equal(kSignature.begin(), kSignature.end(), body.begin());
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

void THms::Insert(std::vector<Entry>& entries, Entry entry) {
    auto at = std::lower_bound(
        entries.begin(), entries.end(), entry.name,
        [](const Entry& e, const std::string& name) { return CompareText(e.name, name) < 0; });
    if (at != entries.end() && CompareText(at->name, entry.name) == 0)
        *at = std::move(entry);
    else
        entries.insert(at, std::move(entry));
}

void THms::AddStream(std::string_view name, std::span<const std::uint8_t> data) {
    if (name.empty()) return;
    bool lossless = true;
    std::string fileName = Utf8ToCp1252(name, &lossless);
    if (!lossless) throw std::invalid_argument("Stream name has characters outside the ANSI code page");
    if (fileName.size() > kMaxNameBytes) throw std::invalid_argument("Stream name too long");
    if (data.size() > kMaxDataBytes) throw std::invalid_argument("Stream too large for the store");
    Insert(entries_, {std::string(name), std::move(fileName), Stream(data.begin(), data.end())});
}

void THms::AddStream(std::string_view name, std::string_view data) {
    AddStream(name, AsBytes(data));
}

bool THms::ReadStream(std::string_view name, Stream& stream) const {
    if (name.empty()) return false;
    for (const Entry& e : entries_) {
        if (CompareText(e.name, name) == 0) {
            stream.insert(stream.end(), e.data.begin(), e.data.end());
            return true;
        }
    }
    return false;
}

bool THms::ReadStream(std::string_view name, std::string& stream) const {
    Stream bytes;
    if (!ReadStream(name, bytes)) return false;
    stream.append(bytes.begin(), bytes.end());
    return true;
}

std::vector<std::string> THms::Names() const {
    std::vector<std::string> names;
    for (const Entry& e : entries_) names.push_back(e.name);
    return names;
}

std::vector<std::uint8_t> THms::BodyBytes() const {
    std::vector<std::uint8_t> body(kSignature.begin(), kSignature.end());
    PutU32(body, static_cast<std::uint32_t>(entries_.size()));
    for (const Entry& e : entries_) {
        PutU16(body, static_cast<std::uint32_t>(e.fileName.size()));
        body.insert(body.end(), e.fileName.begin(), e.fileName.end());
        PutU32(body, static_cast<std::uint32_t>(e.data.size()));
        body.insert(body.end(), e.data.begin(), e.data.end());
    }
    return body;
}

std::vector<std::uint8_t> THms::SaveToBytes() const {
    const bool encipher = encrypted_ && !key_.empty();
    std::vector<std::uint8_t> data = BodyBytes();
    if (data.size() > kMaxDataBytes) throw std::invalid_argument("Store too large to save");
    if (compressed_) {
        std::vector<std::uint8_t> packed;
        PutU32(packed, static_cast<std::uint32_t>(data.size()));
        const std::vector<std::uint8_t> coded = Lh5Encode(data);
        packed.insert(packed.end(), coded.begin(), coded.end());
        data = std::move(packed);
    }
    if (encipher) {
        const BlowfishCipher cipher(key_);
        if (!cipher.Usable()) throw ERefusedKey();
        data = cipher.Encipher(data);
    }
    std::vector<std::uint8_t> file;
    file.reserve(kMarksSize + data.size());
    file.push_back(compressed_ ? kCompressedMark : kNoMark);
    file.push_back(encipher ? kEncipheredMark : kNoMark);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

void THms::Corrupt() {
    if (OnCorrupt) OnCorrupt(*this);
    throw ECorruptFile(kFileCorruptMessage);
}

std::vector<THms::Entry> THms::ParseBody(std::span<const std::uint8_t> body) {
    if (!HasSignature(body) || body.size() < kSignature.size() + kLengthSize) Corrupt();
    std::size_t at = kSignature.size();
    const auto count = static_cast<std::int32_t>(GetU32(body, at));
    at += kLengthSize;
    if (count < 0) Corrupt();
    std::vector<Entry> entries;
    for (std::int32_t i = 0; i < count; ++i) {
        // Every length is checked against what is left before anything is taken or allocated.
        if (body.size() - at < kNameLengthSize) Corrupt();
        const std::size_t nameSize = body[at] | (std::size_t{body[at + 1]} << 8);
        at += kNameLengthSize;
        if (body.size() - at < nameSize + kLengthSize) Corrupt();
        std::string fileName(reinterpret_cast<const char*>(&body[at]), nameSize);
        at += nameSize;
        const auto dataSize = static_cast<std::int32_t>(GetU32(body, at));
        at += kLengthSize;
        if (dataSize < 0 || body.size() - at < static_cast<std::size_t>(dataSize)) Corrupt();
        Stream data(body.begin() + static_cast<std::ptrdiff_t>(at),
                    body.begin() + static_cast<std::ptrdiff_t>(at) + dataSize);
        at += static_cast<std::size_t>(dataSize);
        std::string name = Cp1252ToUtf8(fileName);
        Insert(entries, {std::move(name), std::move(fileName), std::move(data)});
    }
    return entries;
}

void THms::LoadFromBytes(std::span<const std::uint8_t> file) {
    if (file.size() < kMarksSize) Corrupt();
    const bool compressed = file[0] == kCompressedMark;
    const bool enciphered = file[1] == kEncipheredMark;
    std::span<const std::uint8_t> data = file.subspan(kMarksSize);

    std::string key = key_;
    std::vector<std::uint8_t> deciphered;
    if (enciphered) {
        if (OnAskForKey) key = OnAskForKey(*this);
        const BlowfishCipher cipher(key);
        if (!cipher.Usable() || !cipher.Decipher(data, deciphered)) Corrupt();
        data = deciphered;
    }

    std::vector<std::uint8_t> expanded;
    if (compressed) {
        if (data.size() < kLengthSize) Corrupt();
        const auto length = static_cast<std::int32_t>(GetU32(data, 0));
        if (length < 0 || static_cast<std::size_t>(length) > maxBodySize_) Corrupt();
        try {
            expanded = Lh5Decode(data.subspan(kLengthSize), static_cast<std::size_t>(length));
        } catch (const ECorruptFile&) {
            Corrupt();
        }
        data = expanded;
    } else if (data.size() > maxBodySize_) {
        Corrupt();
    }

    std::vector<Entry> entries = ParseBody(data);
    entries_ = std::move(entries);
    key_ = std::move(key);
    compressed_ = compressed;
    encrypted_ = enciphered;
}

void THms::LoadFromFile(std::string_view fileName) {
    File file(fileName, File::Mode::Read);
    const std::uint64_t size = file.Size();
    // A compressed body is never much larger than the body itself; anything beyond is not ours.
    if (size > maxBodySize_ + maxBodySize_ / 4 + 1024) Corrupt();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.ReadExact(bytes.data(), bytes.size());
    file.Close();
    LoadFromBytes(bytes);
}

void THms::SaveToFile(std::string_view fileName) const {
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    WriteFileAtomically(fileName,
                        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace vpk
