#pragma once
// TZipFix rebuilds a damaged ZIP archive from its surviving local headers.
//
// The input is scanned once, front to back, for local headers. Each header found is checked for
// plausibility (a name of 1 to 80 printable bytes, data and data descriptor inside the input, sizes
// that fit each other); the entries that pass are copied to the output in the order found (local
// header, name, extra field and data; data descriptors are left out, flag bit 3 stays) and get a fresh
// central directory and end record (ZIP64 records when counts, sizes or offsets need them). Without
// any plausible entry nothing is written.
//
// The input is only read, never copied: a mapped file of any size works in bounded memory.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "repair/file_info.h"
#include "repair/repair_sink.h"
#include "repair/signature_finder.h"

namespace vpk {

class EZipFix : public std::runtime_error {
  public:
    explicit EZipFix(const std::string& message) : std::runtime_error(message) {}
};

class TZipFix {
  public:
    // Raised once for every local header considered, in input order, during RepairArchive:
    // filename is the entry's name as far as it could be read (UTF-8; empty when the length or the
    // bytes of the name were implausible), fileInfoIsOk whether the entry is kept.
    using FileFoundEvent =
        std::function<void(TZipFix& sender, const std::string& filename, bool fileInfoIsOk)>;
    FileFoundEvent OnFileFound;

    TZipFix();

    // The damaged archive; the bytes stay owned by the caller and must outlive RepairArchive.
    void SetInput(const std::uint8_t* data, std::uint64_t size);
    void SetOutput(RepairSink* sink) { output_ = sink; }
    // OEM code page of names without the UTF-8 flag, for the names given to OnFileFound.
    void SetOemCodePage(int codePage) { oemCodePage_ = codePage; }

    // Raises EZipFix "No input or no output stream has been defined" without both; write failures of
    // the sink pass through.
    void RepairArchive();

    // The kept entries; after RepairArchive their offsets are those in the output.
    const std::vector<TFileInfo>& Entries() const { return entries_; }

  private:
    bool Examine(std::uint64_t at, TFileInfo& info, std::uint64_t& next) const;
    bool ReadDescriptor(std::uint64_t dataStart, bool zip64First, TFileInfo& info, std::uint64_t& next) const;
    bool EndsAtRecordBoundary(std::uint64_t descriptorAt) const;
    void Report(const TFileInfo& info, bool kept);
    void CopyEntries();

    const std::uint8_t* data_ = nullptr;
    std::uint64_t size_ = 0;
    bool inputSet_ = false;
    RepairSink* output_ = nullptr;
    int oemCodePage_ = 437;
    std::vector<TFileInfo> entries_;
    SignatureFinder localHeaders_;
    SignatureFinder descriptors_;
};

}  // namespace vpk
