#pragma once
// Host paths of extraction targets. A virtual path resolves case-blind component by component, which
// costs a folder scan for every name that does not exist yet; extracting thousands of files into one
// folder would scan it thousands of times. This cache resolves each target folder once and keeps its
// names (upper-cased) so that a file "A.TXT" on disk is still the target of an entry "a.txt".
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace vpk::zip {

class TargetFolders {
  public:
    // Host path for a virtual file path whose folder exists; nullopt when the folder cannot be mapped.
    std::optional<std::string> HostPath(const std::string& virtualPath);
    // Remembers a file just created under its host path.
    void Created(const std::string& hostPath);

  private:
    struct Folder {
        std::string host;
        std::unordered_map<std::string, std::string> names;  // upper-cased → host spelling
    };
    Folder* Find(const std::string& virtualFolder);
    std::unordered_map<std::string, Folder> folders_;  // by upper-cased virtual folder
    std::unordered_map<std::string, Folder*> byHost_;
};

// An extracted file, complete only after Commit; destroyed without Commit it leaves nothing behind
// and an existing target untouched. A file that replaces another is written under a temporary name
// and renamed over it; a new one is created in place (nothing to protect). Raises PlatformError.
class PendingFile {
  public:
    PendingFile(const std::string& hostTarget, bool replacing);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    void Write(const std::uint8_t* data, std::size_t size);
    void Commit(std::uint32_t dosDateTime, bool readOnly);

  private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
};

// DOS date/time of a host file, nullopt when it does not exist (or is not a file).
std::optional<std::uint32_t> HostFileDosTime(const std::string& hostPath);

}  // namespace vpk::zip
