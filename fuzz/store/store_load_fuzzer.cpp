// Any file handed to THms::LoadFromFile either loads or raises ECorruptFile; a failed load keeps the
// entries that were there.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file.h"
#include "store/hms.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        char name[] = "/tmp/vpk-fuzz-store-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        vpk::File file(ScratchFile(), vpk::File::Mode::Create);
        file.Write(data, size);
        file.Close();
    }
    vpk::THms store;
    store.SetKey("fuzz key");
    store.SetMaxBodySize(std::size_t{4} << 20);
    store.AddStream("previous", "entry");
    try {
        store.LoadFromFile(ScratchFile());
    } catch (const vpk::ECorruptFile&) {
        if (store.Count() != 1) std::abort();
    }
    return 0;
}
