#include "runner/free_space.h"

#include <string>

#include "platform/file_system.h"

namespace vpk {

std::int64_t DiskFree(int driveNumber) {
    if (driveNumber < 1 || driveNumber > 26) return -1;
    const char letter = static_cast<char>('A' + driveNumber - 1);
    if (!Fs().DiskPresent(letter)) return -1;
    return Fs().FreeBytes(std::string(1, letter) + ":\\");
}

}  // namespace vpk
