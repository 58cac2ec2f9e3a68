#pragma once
// Helpers of the self-extracting tests: icon files, the built stub, an engine set up for tests.
#include <string>

namespace vpk::test {

// A valid 766-byte icon file (one 32 x 32 16-colour image) whose pixels are filled with `colour`.
std::string SixteenColourIcon(unsigned char colour);
// The built stub, or empty when it was not built.
std::string BuiltStub();
// Runs a program with arguments (each quoted for the shell), stdin from /dev/null; returns the exit
// status and fills output with stdout and stderr.
int RunProgram(const std::string& program, const std::string& arguments, std::string* output = nullptr);
std::string Quoted(const std::string& text);

}  // namespace vpk::test
