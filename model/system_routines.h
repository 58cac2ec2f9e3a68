#pragma once
// The Run key, sounds, and the system figures shown in the about box.
#include <string>
#include <string_view>

#include "platform/process.h"
#include "platform/registry_store.h"

namespace vpk {

// name = value under HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run (RunOnce when
// once); the registry store mirrors it as an autostart entry. A failing store reports nothing.
void SetRunAtStartup(std::string_view name, std::string_view value, bool once,
                     RegistryStore& store = RegistryStore::Instance());
void RemoveRunAtStartup(std::string_view name, RegistryStore& store = RegistryStore::Instance());

// Plays the file of the program folder without waiting; nothing when it is not there.
void PlaySoundFile(std::string_view name);

std::string MemoryStatusText(const MemoryFigures& figures);
std::string MemoryStatusText();
std::string SystemInfoText(const SystemFigures& figures);
std::string SystemInfoText();

}  // namespace vpk
