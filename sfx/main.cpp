// vpksfx: the self-extractor stub. Run as the head of a self-extracting archive, it extracts the
// archive attached to it.
#include <climits>
#include <string>
#include <vector>

#include <unistd.h>

#include "sfx/stub_run.h"

int main(int argc, char** argv) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string(argv[0]);
    return vpk::sfx::RunStub(path, std::vector<std::string>(argv + 1, argv + argc));
}
