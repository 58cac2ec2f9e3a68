#pragma once
// TFileSearch: walks a folder tree depth-first looking for a file name or pattern (several joined by
// ";"; a later one without folder takes the folder of the first), processing pending events between
// entries. Each folder is entered once, by its real host location, so links that loop back and drive
// roots that overlap (Z: is the host's root) cost nothing twice; the host's kernel and device trees
// are never walked.
#include <functional>
#include <string>
#include <vector>

namespace vpk {

class TFileSearch {
  public:
    std::string FileName;  // "x.exe" or "C:\\APP\\x.exe;y.exe"
    bool RecurseSubFolders = true;
    bool Stop = false;  // ends the walk at the next entry
    std::function<void(const std::string& folder)> OnChangeFolder;
    std::function<void(const std::string& path)> OnFileFind;

    // Searches from root (a virtual folder); found paths are collected in FoundFiles too.
    void Execute(const std::string& root);
    const std::vector<std::string>& FoundFiles() const { return found_; }

  private:
    void Walk(const std::string& folder, const std::vector<std::string>& names, int depth);
    std::vector<std::string> found_;
    std::vector<std::string> visited_;
};

}  // namespace vpk
