#include "support/test_support.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/drive_table.h"
#include "platform/file_system.h"
#include "platform/program_paths.h"

namespace fs = std::filesystem;

namespace vpk::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vpk-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only folders left by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

void WriteHostFile(const std::string& hostPath, const std::string& contents) {
    fs::create_directories(fs::path(hostPath).parent_path());
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + hostPath);
}

std::string ReadHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + hostPath);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool HostExists(const std::string& hostPath) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(hostPath, ec));
}

void TestTree(const std::string& hostRoot, std::initializer_list<TreeFile> files) {
    fs::create_directories(hostRoot);
    for (const auto& f : files) WriteHostFile(hostRoot + "/" + f.relativePath, f.contents);
}

TestInstallation::TestInstallation() {
    fs::create_directories(ProgramHost());
    AddDrive('C');
}

TestInstallation::~TestInstallation() {
    FileSystem::Instance().SetDriveTable(DriveTable::Default());
    SetProgramFolderHost({});
}

std::string TestInstallation::DriveHost(char letter) const {
    return dir_.Path() + "/" + std::string(1, static_cast<char>(std::tolower(letter)));
}

void TestInstallation::AddDrive(char letter, const std::string& type, std::uint64_t capacity, bool createRoot) {
    std::string lines = "path=" + DriveHost(letter) + "\ntype=" + type + "\n";
    if (capacity) lines += "capacity=" + std::to_string(capacity) + "\n";
    drives_.emplace_back(static_cast<char>(std::toupper(letter)), lines);
    if (createRoot) fs::create_directories(DriveHost(letter));
    Apply();
}

void TestInstallation::Apply() {
    std::string ini;
    for (const auto& [letter, lines] : drives_) {
        ini += '[';
        ini += letter;
        ini += "]\n";
        ini += lines;
    }
    WriteHostFile(ProgramHost() + "/drives.ini", ini);
    SetProgramFolderHost(ProgramHost());
    FileSystem::Instance().SetDriveTable(DriveTable::Load(ProgramHost() + "/drives.ini"));
    FileSystem::Instance().SetCurrentFolder("C:\\");
}

std::string InstallDir() {
    const char* dir = std::getenv("VPK_INSTALL_DIR");
    return dir && *dir ? dir : VPK_BUILT_INSTALL_DIR;
}

std::string SourceDir() {
    const char* dir = std::getenv("VPK_SOURCE_DIR");
    return dir && *dir ? dir : VPK_BUILT_SOURCE_DIR;
}

int RunShell(const std::string& command, std::string* output) {
    std::string full = command + " 2>&1";
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> buffer{};
    std::string text;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) text.append(buffer.data(), n);
    int status = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ToolAvailable(const std::string& name) {
    return RunShell("command -v " + name + " >/dev/null") == 0;
}

}  // namespace vpk::test
