#pragma once
// Shared test fixtures: a temporary folder removed at the end, a tree builder for source folders, and a
// temporary installation (program folder + drive table) that never touches the real home folder.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace vpk::test {

// A fresh host folder under $TMPDIR, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
};

// Writes host files (creating folders); "docs/a.txt" → contents.
void WriteHostFile(const std::string& hostPath, const std::string& contents);
std::string ReadHostFile(const std::string& hostPath);
bool HostExists(const std::string& hostPath);

struct TreeFile {
    std::string relativePath;
    std::string contents;
};
// TestTree(root, {{"docs/a.txt", "…"}, {"b.bin", std::string(5000, 'x')}})
void TestTree(const std::string& hostRoot, std::initializer_list<TreeFile> files);

// A temporary installation: <tmp>/prog is the program folder, <tmp>/c is drive C:, and further drives
// can be added (a removable A: of 1.44 MB, say). Installs the drive table into the file system and the
// program folder; restores the previous state on destruction.
class TestInstallation {
public:
    TestInstallation();
    ~TestInstallation();
    const std::string& Root() const { return dir_.Path(); }
    std::string ProgramHost() const { return dir_.Path() + "/prog"; }
    std::string DriveHost(char letter) const;
    // Adds a drive mapped to <tmp>/<letter> (created unless createRoot is false: no disk in it).
    void AddDrive(char letter, const std::string& type = "fixed", std::uint64_t capacity = 0,
                  bool createRoot = true);
    // Rewrites drives.ini and reloads it.
    void Apply();

private:
    TempDir dir_;
    std::vector<std::pair<char, std::string>> drives_;  // letter, ini lines
};

// The built installation (build/install) and the source tree, from the environment CTest sets.
std::string InstallDir();
std::string SourceDir();

// Runs a shell command, returns its exit status and (optionally) what it printed on stdout+stderr.
int RunShell(const std::string& command, std::string* output = nullptr);
bool ToolAvailable(const std::string& name);  // on PATH

}  // namespace vpk::test
