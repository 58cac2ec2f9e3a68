#pragma once
// Starting programs, the shell, and system figures.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vpk {

// Windows show modes (SW_*) the launcher passes on; on Linux only "hidden" changes anything (no
// terminal window is opened), the others are kept for the callers' sake.
enum class ShowMode : int { Hidden = 0, Normal = 1, Minimized = 2, Maximized = 3 };

// Turns a Windows command line into a host one: "x.exe" of the program folder runs the executable x
// beside it; "explorer.exe …" and "notepad …" become xdg-open; virtual paths in arguments are turned
// into host paths. Returns the argv.
std::vector<std::string> MapCommandLine(std::string_view commandLine);

// Starts a command line. When wait is true, waits for the end while pumping events and returns the
// exit code; otherwise returns 0 once started. -1 when it could not be started.
int RunCommand(std::string_view commandLine, ShowMode show, bool wait);

// Opens a document or folder with its associated program (xdg-open). False when it cannot start.
bool OpenDocument(std::string_view path);

// Shell copy of files or a whole tree, creating folders, answering yes to every question.
bool CopyFiles(std::string_view from, std::string_view to);
// Moves a file or folder into the freedesktop trash (~/.local/share/Trash). False when it fails.
bool DeleteToTrash(std::string_view path);

// Plays a sound file without waiting (first of paplay/aplay found); nothing when it fails.
void PlaySoundAsync(std::string_view path);
// Asks logind/systemd to power off; false when refused.
bool RequestShutdown();
// Screen saver on/off through xdg-screensaver; reports nothing.
void SetScreenSaverActive(bool active);
bool ScreenSaverActive();

struct MemoryFigures {
    std::uint32_t loadPercent = 0;
    std::uint64_t availPhys = 0, totalPhys = 0, availVirtual = 0, totalVirtual = 0;
    std::uint64_t minAppAddress = 0, maxAppAddress = 0;
};
MemoryFigures ReadMemoryFigures();   // from /proc/meminfo

struct SystemFigures {
    unsigned processors = 1;
    unsigned processorType = 0;        // family*100 + model like the Windows figure (e.g. 586)
    unsigned processorRevision = 0;    // model<<8 | stepping
    std::uint64_t totalPhys = 0;
    unsigned osMajor = 0, osMinor = 0, osBuild = 0;
    std::string servicePack;           // empty on Linux
};
SystemFigures ReadSystemFigures();   // /proc/cpuinfo, uname

}  // namespace vpk
