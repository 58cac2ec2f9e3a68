#pragma once
// THms: a set of named binary streams held in memory and kept as one file, optionally compressed (lh5)
// and enciphered (Blowfish). The layout is described in docs/formats/protected-store.md.
//
// Entries are kept sorted by name, names compared without regard to case ("abc" and "ABC" are one
// entry). Names are UTF-8 in memory and ANSI (Windows-1252) in the file.
//
// Loading is all or nothing: a file that fails to load leaves the entries and properties as they were.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/corrupt_file.h"

namespace vpk {

class THms {
  public:
    using Stream = std::vector<std::uint8_t>;
    // Returns the key to decipher a file with; called once per load of an enciphered file.
    using TOnAskForKey = std::function<std::string(THms& sender)>;
    using TNotifyEvent = std::function<void(THms& sender)>;

    // Bodies beyond this are refused as corrupt, so a forged length cannot make a load claim memory
    // without end. Far above what the program keeps in a store.
    static constexpr std::size_t kDefaultMaxBodySize = std::size_t{256} << 20;

    bool Compressed() const { return compressed_; }
    void SetCompressed(bool value) { compressed_ = value; }
    bool Encrypted() const { return encrypted_; }
    void SetEncrypted(bool value) { encrypted_ = value; }
    // The cipher key as bytes of the ANSI code page (not UTF-8): files written on Windows use those.
    const std::string& Key() const { return key_; }
    void SetKey(std::string key) { key_ = std::move(key); }
    void SetMaxBodySize(std::size_t bytes) { maxBodySize_ = bytes; }

    TOnAskForKey OnAskForKey;  // when empty, Key() deciphers
    TNotifyEvent OnCorrupt;    // called just before ECorruptFile is raised

    // A copy of `data` under `name`, replacing an entry of the same name. An empty name does nothing.
    // Raises std::invalid_argument for a name with no ANSI form or too long for the file (65535 bytes),
    // and for data of 2 GiB or more.
    void AddStream(std::string_view name, std::span<const std::uint8_t> data);
    void AddStream(std::string_view name, std::string_view data);
    // Appends the entry's data to `stream`; false (nothing appended) when there is no such entry.
    bool ReadStream(std::string_view name, Stream& stream) const;
    bool ReadStream(std::string_view name, std::string& stream) const;
    void ClearStreams() { entries_.clear(); }
    std::size_t Count() const { return entries_.size(); }
    std::vector<std::string> Names() const;  // in stored order

    // The whole file: the two marks and the body.
    std::vector<std::uint8_t> SaveToBytes() const;
    // Raises ECorruptFile (after OnCorrupt) for anything the store does not write.
    void LoadFromBytes(std::span<const std::uint8_t> file);

    // Reads or (through a temporary file renamed over it) writes the file; the platform layer's
    // PlatformError when it cannot be opened or written.
    void LoadFromFile(std::string_view fileName);
    void SaveToFile(std::string_view fileName) const;

  private:
    struct Entry {
        std::string name;      // UTF-8
        std::string fileName;  // the same in the ANSI code page
        Stream data;
    };
    std::vector<std::uint8_t> BodyBytes() const;
    std::vector<Entry> ParseBody(std::span<const std::uint8_t> body);
    static void Insert(std::vector<Entry>& entries, Entry entry);
    [[noreturn]] void Corrupt();

    bool compressed_ = true;
    bool encrypted_ = false;
    std::string key_;
    std::size_t maxBodySize_ = kDefaultMaxBodySize;
    std::vector<Entry> entries_;
};

// Raised by SaveToFile/SaveToBytes when `Encrypted` is asked with a key the cipher refuses (a weak
// Blowfish key): the store never writes a file marked enciphered that is not.
class ERefusedKey : public std::runtime_error {
  public:
    ERefusedKey() : std::runtime_error("The cipher key is refused: choose another key.") {}
};

}  // namespace vpk
