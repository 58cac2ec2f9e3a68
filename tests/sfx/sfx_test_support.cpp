#include "sfx_test_support.h"

#include "engine/sfx_icon_image.h"
#include "support/test_support.h"

namespace vpk::test {

std::string SixteenColourIcon(unsigned char colour) {
    auto image = DefaultIconImage();
    for (std::size_t i = 104; i < 104 + 512; ++i) image[i] = static_cast<std::uint8_t>(colour << 4 | colour);
    return IconFileOfImage(std::string(image.begin(), image.end()));
}

std::string BuiltStub() {
    const std::string stub = InstallDir() + "/VPKSFX.BIN";
    return HostExists(stub) ? stub : std::string{};
}

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int RunProgram(const std::string& program, const std::string& arguments, std::string* output) {
    return RunShell(Quoted(program) + " " + arguments + " </dev/null", output);
}

}  // namespace vpk::test
