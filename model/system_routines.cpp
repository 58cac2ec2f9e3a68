#include "model/system_routines.h"

#include <cstdio>

#include "model/path_routines.h"
#include "platform/file_system.h"

namespace vpk {

namespace {

constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

unsigned long long U(std::uint64_t value) {
    return static_cast<unsigned long long>(value);
}

}  // namespace

void SetRunAtStartup(std::string_view name, std::string_view value, bool once, RegistryStore& store) {
    std::string key(kRunKey);
    if (once) key += "Once";
    store.WriteString(Hive::LocalMachine, key, name, value);
}

void RemoveRunAtStartup(std::string_view name, RegistryStore& store) {
    store.DeleteValue(Hive::LocalMachine, kRunKey, name);
}

void PlaySoundFile(std::string_view name) {
    const std::string path = ProgramFolder() + std::string(name);
    if (Fs().FileExists(path)) PlaySoundAsync(path);
}

// The figures are printed in full: 32-bit fields would wrap on machines with more than 4 GiB.
std::string MemoryStatusText(const MemoryFigures& f) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "Ram used = %u%% %llu / %llu. Virtual = %llu / %llu. Adresses min/max = %llu / %llu.",
                  f.loadPercent, U(f.availPhys), U(f.totalPhys), U(f.availVirtual), U(f.totalVirtual),
                  U(f.minAppAddress), U(f.maxAppAddress));
    return buffer;
}

std::string MemoryStatusText() {
    return MemoryStatusText(ReadMemoryFigures());
}

std::string SystemInfoText(const SystemFigures& f) {
    char revision[16];
    std::snprintf(revision, sizeof revision, "%4X", f.processorRevision & 0xFFFFu);
    const std::string rev = revision;
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "%u CPU(s) %u, %s step %s.\r\nTOTAL RAM  = %llu bytes\r\nVersion de OS : %u.%u.%u%s",
                  f.processors, f.processorType, rev.substr(0, 2).c_str(), rev.substr(2, 2).c_str(),
                  U(f.totalPhys), f.osMajor, f.osMinor, f.osBuild & 0xFFFFu, f.servicePack.c_str());
    return buffer;
}

std::string SystemInfoText() {
    return SystemInfoText(ReadSystemFigures());
}

}  // namespace vpk
