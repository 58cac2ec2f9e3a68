// What the writers produce, the readers give back: lh5 on the raw input, and a store holding the
// input as entries saved in every form.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "store/hms.h"
#include "store/lh5_decoder.h"
#include "store/lh5_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    if (vpk::Lh5Decode(vpk::Lh5Encode(input), size) != std::vector<std::uint8_t>(data, data + size))
        std::abort();

    vpk::THms store;
    const std::size_t half = size / 2;
    store.AddStream("1", input.first(half));
    store.AddStream("rest", input.subspan(half));
    for (int form = 0; form < 4; ++form) {
        store.SetCompressed(form & 1);
        store.SetEncrypted(form & 2);
        store.SetKey("round trip");
        vpk::THms loaded;
        loaded.SetKey("round trip");
        loaded.LoadFromBytes(store.SaveToBytes());
        std::vector<std::uint8_t> first, rest;
        loaded.ReadStream("1", first);
        loaded.ReadStream("rest", rest);
        if (first.size() != half || rest.size() != size - half || loaded.Count() != 2) std::abort();
        if (!std::equal(first.begin(), first.end(), data) ||
            !std::equal(rest.begin(), rest.end(), data + half))
            std::abort();
        if (loaded.Compressed() != store.Compressed() || loaded.Encrypted() != store.Encrypted())
            std::abort();
    }
    return 0;
}
