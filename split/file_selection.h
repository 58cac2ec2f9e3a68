#pragma once
// The files a list of file specifications selects for a container. A specification is a path whose
// last element is a file name or a wildcard mask, optionally followed by "/s" (sub-folders too).
// Names are full virtual paths in lower case. Files of sub-folders come before the files of a folder;
// a file matched twice is taken once; the container itself is never taken; incremental selections take
// only files whose archive bit is set.
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vpk::split {

class FileSelection {
  public:
    FileSelection(std::string_view containerName, bool incrementalOnly);

    void Add(std::string_view specification);
    const std::vector<std::string>& Files() const { return files_; }

    // Splits off a trailing "/s" switch: true when it was there; *rest is the trimmed path. On this
    // host a path may hold '/' itself, so only a switch at the end counts, and in a path with other
    // '/' only one set off by a blank.
    static bool SplitRecursiveSwitch(std::string_view specification, std::string* rest);

  private:
    void AddFolder(const std::string& folder, const std::string& mask, bool recursive,
                   std::set<std::string>& foldersOnPath);
    void Take(const std::string& name, unsigned attributes);

    std::string container_;
    bool incrementalOnly_;
    std::vector<std::string> files_;
    std::set<std::string> taken_;
};

}  // namespace vpk::split
