#pragma once
// Starting host programs from an argv, without a shell in between (so no argument is ever re-parsed).
#include <string>
#include <vector>

namespace vpk {

// True when name is an executable on PATH (or an executable path).
bool ProgramOnPath(const std::string& name);

// Starts argv[0] (searched on PATH) with stdin from /dev/null; output goes where ours goes unless quiet.
// Returns the child's pid, or -1 when it could not be started.
int SpawnProgram(const std::vector<std::string>& argv, bool quiet);

// Waits for the child, calling ProcessPendingEvents() between polls when pump is true. Returns its exit
// code, or -1 when it was killed by a signal or cannot be waited for.
int WaitForProgram(int pid, bool pump);

// SpawnProgram + WaitForProgram; -1 when it could not be started.
int RunProgram(const std::vector<std::string>& argv, bool quiet = true);

// Runs argv, collecting what it prints on stdout; its exit code, -1 when it could not be started.
int RunProgramCapture(const std::vector<std::string>& argv, std::string& output);

// A child nobody waits for is reaped by a background thread, so no zombie is left behind.
void ReapInBackground(int pid);

}  // namespace vpk
