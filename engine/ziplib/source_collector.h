#pragma once
// Turns the file specifications of an add into the list of files to store: DOS wildcards, recursion
// into sub-folders, hidden files, exclusions, and the entry name each file gets.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace vpk::zip {

struct SourceFile {
    std::string path;       // full virtual path
    std::string hostPath;   // where it is on the host, found by the folder scan (opening needs no lookup)
    std::string entryName;  // name to store, "/" separators, "dir/" for a folder entry
    std::uint64_t size = 0;
    std::uint32_t dosDateTime = 0;
    std::uint32_t attributes = 0;
    bool isFolder = false;
};

struct CollectOptions {
    bool recurse = false;
    bool hidden = false;         // hidden files and folders too
    bool dirNames = true;        // store the folder part of each name
    bool folderEntries = false;  // store each folder as an entry of its own
    bool forceDos = false;       // upper-case 8.3 names
    bool archiveOnly = false;    // only files whose archive bit is set
    std::vector<std::string> exclusions;
    std::string skipPath;  // the archive itself (never stored into itself)
};

class SourceCollector {
  public:
    explicit SourceCollector(CollectOptions options) : options_(std::move(options)) {}

    // Adds the files of one specification; false when it matched nothing.
    bool AddSpec(const std::string& spec);
    const std::vector<SourceFile>& Files() const { return files_; }

  private:
    void ScanFolder(const std::string& folder, const std::string& mask, const std::string& namePrefix,
                    bool& found, int depth);
    bool Excluded(const std::string& path, const std::string& name) const;
    void Add(SourceFile file);

    CollectOptions options_;
    std::vector<SourceFile> files_;
    std::unordered_set<std::string> seen_;  // upper-cased entry names already taken
};

// Upper-case 8.3 form of each component of a name ("Long name.text" → "LONGNAME.TEX").
std::string DosName(const std::string& name);

}  // namespace vpk::zip
