#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/file_system.h"
#include "platform/program_paths.h"
#include "platform/spawn.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

// Windows command-line splitting: blanks separate, double quotes group, "" inside quotes is one quote.
std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false, any = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (inQuotes && i + 1 < line.size() && line[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                inQuotes = !inQuotes;
            }
            any = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (any) args.push_back(std::move(current));
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) args.push_back(std::move(current));
    return args;
}

std::string FileNameOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

bool EndsWithExe(std::string_view name) {
    return name.size() > 4 && SameText(name.substr(name.size() - 4), ".exe");
}

bool IsVirtualPath(std::string_view arg) {
    return arg.size() >= 3 && std::isalpha(static_cast<unsigned char>(arg[0])) && arg[1] == ':' &&
           (arg[2] == '\\' || arg[2] == '/');
}

std::string HostArgument(const std::string& arg) {
    if (!IsVirtualPath(arg)) return arg;
    return Fs().ToHost(arg).value_or(arg);
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The executable "x" standing for "x.exe" in a host folder, found without regard to case.
std::string ExecutableBeside(const std::string& folder, const std::string& exeName) {
    const std::string stem = exeName.substr(0, exeName.size() - 4);
    if (IsExecutableFile(folder + "/" + stem)) return folder + "/" + stem;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {};
    std::string found;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if ((SameText(name, stem) || SameText(name, exeName)) && IsExecutableFile(folder + "/" + name)) {
            found = folder + "/" + name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::uint64_t MeminfoKb(const std::string& text, const std::string& field) {
    const std::size_t at = text.find("\n" + field + ":");
    const std::size_t start =
        at == std::string::npos ? (text.rfind(field + ":", 0) == 0 ? 0 : std::string::npos) : at + 1;
    if (start == std::string::npos) return 0;
    return std::strtoull(text.c_str() + start + field.size() + 1, nullptr, 10);
}

std::string ReadText(const char* path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Home() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

std::string UrlEncodePath(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            out += buffer;
        }
    }
    return out;
}

bool MakeFolder(const std::string& path, mode_t mode) {
    std::string level;
    std::stringstream parts(path);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty()) continue;
        level += "/" + part;
        if (::mkdir(level.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The top of the mount holding path: the highest folder on the same device.
std::string MountTop(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {};
    std::string top = path;
    while (top != "/") {
        const std::size_t cut = top.rfind('/');
        const std::string parent = cut == 0 ? "/" : top.substr(0, cut);
        struct stat up {};
        if (::stat(parent.c_str(), &up) != 0 || up.st_dev != st.st_dev) break;
        top = parent;
    }
    return top;
}

// Moves host into the trash whose files/ and info/ folders are under trash; path in the info file is
// absolute, or relative to topDir for a trash at the top of another medium.
bool MoveToTrash(const std::string& host, const std::string& trash, const std::string& topDir,
                 int& moveError) {
    if (!MakeFolder(trash + "/files", 0700) || !MakeFolder(trash + "/info", 0700)) return false;
    const std::size_t slash = host.rfind('/');
    const std::string base = host.substr(slash + 1);
    std::string recorded = host;
    if (!topDir.empty() && topDir != "/") recorded = host.substr(topDir.size() + 1);
    char date[32];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &tm);
    const std::string info =
        "[Trash Info]\nPath=" + UrlEncodePath(recorded) + "\nDeletionDate=" + date + "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? base : base + "." + std::to_string(n);
        const std::string infoPath = trash + "/info/" + name + ".trashinfo";
        // The info file is made first and exclusively: it reserves the name.
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
        ::close(fd);
        if (written && ::rename(host.c_str(), (trash + "/files/" + name).c_str()) == 0) return true;
        moveError = errno;
        ::unlink(infoPath.c_str());
        return false;
    }
    return false;
}

}  // namespace

std::vector<std::string> MapCommandLine(std::string_view commandLine) {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty()) return args;
    const std::string program = FileNameOf(args[0]);
    const bool explorer = SameText(program, "explorer.exe") || SameText(program, "explorer");
    const bool notepad = SameText(program, "notepad.exe") || SameText(program, "notepad");
    std::vector<std::string> argv;
    if (explorer || notepad) {
        // xdg-open opens one thing: the last argument, without the explorer's switches ("/e,", "/select,").
        std::string target;
        for (std::size_t i = 1; i < args.size(); ++i) {
            std::string arg = args[i];
            if (explorer && arg.size() > 1 && arg[0] == '/' && !IsExecutableFile(arg)) {
                const std::size_t comma = arg.find(',');
                std::size_t letters = 1;
                while (letters < arg.size() && std::isalpha(static_cast<unsigned char>(arg[letters])))
                    ++letters;
                if (letters == arg.size()) continue;                // "/e"
                if (comma == letters) arg = arg.substr(comma + 1);  // "/select,C:\x"
            }
            if (!arg.empty()) target = arg;
        }
        if (target.empty() && explorer) target = Home();
        argv = {"xdg-open"};
        if (!target.empty()) argv.push_back(HostArgument(target));
        return argv;
    }
    std::string executable = args[0];
    if (EndsWithExe(program)) {
        const bool bare = program.size() == args[0].size();
        std::string folder = ProgramFolderHost();
        if (!bare) {
            const auto host = Fs().ToHost(args[0].substr(0, args[0].size() - program.size()));
            folder = host.value_or(folder);
        }
        const std::string beside = ExecutableBeside(folder, program);
        if (!beside.empty()) {
            executable = beside;
        } else if (bare) {
            executable = program.substr(0, program.size() - 4);  // a host program of that name, on PATH
        } else {
            executable = HostArgument(args[0]);
        }
    } else {
        executable = HostArgument(args[0]);
    }
    argv.push_back(executable);
    for (std::size_t i = 1; i < args.size(); ++i) argv.push_back(HostArgument(args[i]));
    return argv;
}

int RunCommand(std::string_view commandLine, ShowMode show, bool wait) {
    (void)show;  // no terminal window is ever opened, so every mode starts the same way
    const std::vector<std::string> argv = MapCommandLine(commandLine);
    const int pid = SpawnProgram(argv, false);
    if (pid < 0) return -1;
    if (!wait) {
        ReapInBackground(pid);
        return 0;
    }
    return WaitForProgram(pid, true);
}

bool OpenDocument(std::string_view path) {
    std::string target(path);
    if (target.find("://") == std::string::npos) {
        const auto host = Fs().ToHost(path);
        struct stat st {};
        if (!host || ::stat(host->c_str(), &st) != 0) return false;
        target = *host;
    }
    const int pid = SpawnProgram({"xdg-open", target}, true);
    if (pid < 0) return false;
    ReapInBackground(pid);
    return true;
}

bool CopyFiles(std::string_view from, std::string_view to) {
    FileSystem& fs = Fs();
    const std::string source = fs.FullPath(from);
    std::string target = fs.FullPath(to);
    if (source.empty() || target.empty()) return false;
    if (target.size() > 3 && target.back() == '\\') target.pop_back();
    const auto join = [](const std::string& folder, const std::string& name) {
        return folder.back() == '\\' ? folder + name : folder + "\\" + name;
    };
    // One entry into a destination path: folders recursively, every question answered yes.
    std::function<bool(const std::string&, const std::string&)> copyEntry =
        [&](const std::string& src, const std::string& dst) -> bool {
        if (!fs.FolderExists(src)) return fs.CopyFile(src, dst, false);
        if (!fs.FolderExists(dst) && !fs.CreateFolderChain(dst)) return false;
        bool ok = true;
        FileFinder finder(join(src, "*"), kAttrAnyFile);
        FindEntry e;
        while (finder.Next(e)) ok = copyEntry(join(src, e.name), join(dst, e.name)) && ok;
        return ok;
    };
    const std::string name = FileNameOf(source);
    if (name.find_first_of("*?") != std::string::npos) {
        if (!fs.FolderExists(target) && !fs.CreateFolderChain(target)) return false;
        const std::string folder = source.substr(0, source.size() - name.size());
        FileFinder finder(source, kAttrAnyFile);
        if (!finder.FolderFound()) return false;
        bool ok = true;
        FindEntry e;
        while (finder.Next(e)) ok = copyEntry(join(folder, e.name), join(target, e.name)) && ok;
        return ok;
    }
    if (!fs.Stat(source)) return false;
    if (fs.FolderExists(target)) return copyEntry(source, join(target, name));
    const std::size_t cut = target.rfind('\\');
    if (cut != std::string::npos && cut > 2 && !fs.CreateFolderChain(target.substr(0, cut))) return false;
    return copyEntry(source, target);
}

bool DeleteToTrash(std::string_view path) {
    const auto host = Fs().ToHost(path);
    struct stat st {};
    if (!host || ::lstat(host->c_str(), &st) != 0) return false;
    const std::string absolute = *host;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const std::string homeTrash =
        (dataHome && *dataHome == '/' ? std::string(dataHome) : Home() + "/.local/share") + "/Trash";
    int moveError = 0;
    if (MoveToTrash(absolute, homeTrash, {}, moveError)) return true;
    if (moveError != EXDEV) return false;
    // Another medium: its own trash at the top of the mount, as the freedesktop layout has it.
    const std::string top = MountTop(absolute);
    if (top.empty()) return false;
    const std::string trash = (top == "/" ? "" : top) + "/.Trash-" + std::to_string(::getuid());
    return MoveToTrash(absolute, trash, top, moveError);
}

void PlaySoundAsync(std::string_view path) {
    const auto host = Fs().ToHost(path);
    struct stat st {};
    if (!host || ::stat(host->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    for (const char* player : {"paplay", "aplay"}) {
        if (!ProgramOnPath(player)) continue;
        std::vector<std::string> argv{player};
        if (std::string_view(player) == "aplay") argv.push_back("-q");
        argv.push_back(*host);
        ReapInBackground(SpawnProgram(argv, true));
        return;
    }
}

bool RequestShutdown() {
    if (ProgramOnPath("systemctl") && RunProgram({"systemctl", "poweroff"}) == 0) return true;
    return ProgramOnPath("loginctl") && RunProgram({"loginctl", "poweroff"}) == 0;
}

namespace {
int& ScreenSaverState() {
    static int state = -1;  // -1: never set by us
    return state;
}
}  // namespace

// xdg-screensaver can only suspend the saver for the life of a window; switching it off and on for a
// whole run goes through the X server setting it drives underneath.
void SetScreenSaverActive(bool active) {
    ScreenSaverState() = active ? 1 : 0;
    if (std::getenv("DISPLAY") && ProgramOnPath("xset")) RunProgram({"xset", "s", active ? "on" : "off"});
}

bool ScreenSaverActive() {
    if (ScreenSaverState() >= 0) return ScreenSaverState() == 1;
    std::string output;
    if (ProgramOnPath("xdg-screensaver") && RunProgramCapture({"xdg-screensaver", "status"}, output) == 0) {
        return output.find("disabled") == std::string::npos;
    }
    return false;
}

MemoryFigures ReadMemoryFigures() {
    MemoryFigures figures;
    const std::string meminfo = ReadText("/proc/meminfo");
    const std::uint64_t total = MeminfoKb(meminfo, "MemTotal") * 1024;
    std::uint64_t avail = MeminfoKb(meminfo, "MemAvailable") * 1024;
    if (avail == 0) avail = (MeminfoKb(meminfo, "MemFree") + MeminfoKb(meminfo, "Cached")) * 1024;
    const std::uint64_t swapTotal = MeminfoKb(meminfo, "SwapTotal") * 1024;
    const std::uint64_t swapFree = MeminfoKb(meminfo, "SwapFree") * 1024;
    figures.totalPhys = total;
    figures.availPhys = std::min(avail, total);
    figures.loadPercent = total ? static_cast<std::uint32_t>((total - figures.availPhys) * 100 / total) : 0;
    // "Virtual" as the system counts what can be committed: memory plus swap.
    figures.totalVirtual = total + swapTotal;
    figures.availVirtual = figures.availPhys + std::min(swapFree, swapTotal);
    figures.minAppAddress = std::strtoull(ReadText("/proc/sys/vm/mmap_min_addr").c_str(), nullptr, 10);
    figures.maxAppAddress = sizeof(void*) == 8 ? 0x7FFFFFFFFFFFull : 0xBFFFFFFFull;
    return figures;
}

SystemFigures ReadSystemFigures() {
    SystemFigures figures;
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    figures.processors = online > 0 ? static_cast<unsigned>(online) : 1;
    std::istringstream cpuinfo(ReadText("/proc/cpuinfo"));
    std::string line;
    unsigned family = 0, model = 0, stepping = 0;
    int seen = 0;
    while (std::getline(cpuinfo, line) && seen < 3) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string key = line.substr(0, colon);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
        const unsigned value = static_cast<unsigned>(std::strtoul(line.c_str() + colon + 1, nullptr, 10));
        if (key == "cpu family") family = value, ++seen;
        if (key == "model") model = value, ++seen;
        if (key == "stepping") stepping = value, ++seen;
    }
    figures.processorType = family * 100 + model;
    figures.processorRevision = (model << 8) | (stepping & 0xFF);
    figures.totalPhys = ReadMemoryFigures().totalPhys;
    utsname name{};
    if (::uname(&name) == 0) {
        unsigned parts[3] = {0, 0, 0};
        std::sscanf(name.release, "%u.%u.%u", &parts[0], &parts[1], &parts[2]);
        figures.osMajor = parts[0];
        figures.osMinor = parts[1];
        figures.osBuild = parts[2];
    }
    return figures;
}

}  // namespace vpk
