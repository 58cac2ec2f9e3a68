#pragma once
// Building the command records handed to ZipExec and UnzExec from the engine's properties. A builder
// owns every text and array the record points to, so the record stays valid while the builder lives
// (the length of one library call).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/library_interface.h"

namespace vpk {

class TZipEngine;

// First library versions that take the records of library_interface.h; older ones expected a record
// with a fixed array of 4097 specifications, which this build does not speak.
inline constexpr std::int32_t kFirstZipRecordVersion = 151;
inline constexpr std::int32_t kFirstUnzipRecordVersion = 152;

// ".gif:.png:…" for the members of the set, in enumeration order; empty for an empty set.
std::string StoreSuffixList(const TZipEngine& engine);

class ZipCommandBuilder {
  public:
    // The add form, or the delete form (entries named by FSpecArgs are removed).
    ZipCommandBuilder(TZipEngine& engine, std::int32_t libraryVersion, bool deleting);
    ZipCommandBuilder(const ZipCommandBuilder&) = delete;
    ZipCommandBuilder& operator=(const ZipCommandBuilder&) = delete;
    ZipCommand* Record() { return &record_; }

  private:
    ZipCommand record_{};
    std::array<char, kPasswordBufferSize> password_{};
    std::string archiveName_, tempDir_, comment_, suffixes_;
    std::vector<std::string> specs_, exclusions_;
    std::vector<FileSpecEntry> specEntries_;
    std::vector<const char*> exclusionPointers_;
};

class UnzipCommandBuilder {
  public:
    // archiveName: the archive the library works on (the current one, or a joined copy of a
    // multi-disk set).
    UnzipCommandBuilder(TZipEngine& engine, std::int32_t libraryVersion, const std::string& archiveName);
    UnzipCommandBuilder(const UnzipCommandBuilder&) = delete;
    UnzipCommandBuilder& operator=(const UnzipCommandBuilder&) = delete;
    UnzipCommand* Record() { return &record_; }

  private:
    UnzipCommand record_{};
    std::array<char, kPasswordBufferSize> password_{};
    std::string archiveName_;
    std::vector<std::string> specs_;
    std::vector<UnzFileSpecEntry> specEntries_;
};

}  // namespace vpk
