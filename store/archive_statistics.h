#pragma once
// The statistics file vortipak.cfg beside the programs: a protected store whose stream "1" holds, as
// its first text line, the total number of files the program has archived. Other streams, and the
// lines after the first, are kept and written back unchanged.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/hms.h"

namespace vpk {

inline constexpr std::string_view kStatisticsFileName = "vortipak.cfg";
inline constexpr std::string_view kTotalStreamName = "1";
// The statistics file's cipher key: 12 characters of the Windows-1252 code page, as bytes.
inline constexpr std::string_view kStatisticsKey = "\xE9\xFF\xE2!\xF4#%7kmQ\xFC";

class ArchiveStatistics {
  public:
    enum class LoadResult {
        Loaded,
        Missing,     // no file yet: the total starts at 0
        Unreadable,  // corrupt or unreadable: the total starts at 0 and the next save rewrites it whole
    };

    ArchiveStatistics();

    // Loads the file; never raises. After Missing or Unreadable nothing of the file is kept.
    LoadResult Load(std::string_view fileName);
    // Why the last load gave Unreadable.
    const std::string& LoadError() const { return loadError_; }

    std::int64_t FilesArchivedTotal() const { return total_; }
    void SetFilesArchivedTotal(std::int64_t total) { total_ = total; }
    void AddFilesArchived(std::int64_t count) { total_ += count; }

    // Writes the total back as the first line of stream "1" and saves the file compressed and
    // enciphered. Raises the platform layer's error when it cannot be written; the entries are kept,
    // so a later save writes the same streams again.
    void Save(std::string_view fileName);

  private:
    void ReadTotal();

    THms k_;
    std::vector<std::string> lines_;  // stream "1", line by line; the first is the total
    std::int64_t total_ = 0;
    std::string loadError_;
};

}  // namespace vpk
