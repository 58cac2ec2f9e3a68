// Profile text of any shape: parsing, reading and every kind of edit must neither crash nor disturb the
// lines an edit does not own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/profile_document.h"
#include "platform/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = vpk::DecodeFileText(std::string(reinterpret_cast<const char*>(data), size));
    vpk::ProfileDocument doc(text);
    if (doc.Text() != text) std::abort();  // an untouched document must come back byte for byte
    std::string value;
    for (const auto& section : doc.Sections()) {
        for (const auto& key : doc.Keys(section)) doc.FindValue(section, key, value);
    }
    vpk::ProfileDocument edited(text);
    edited.SetValue("fuzz", "key", "value");
    if (!edited.FindValue("FUZZ", "KEY", value) || value != "value") std::abort();
    edited.DeleteKey("fuzz", "key");
    edited.EraseSection("fuzz");
    if (!doc.Sections().empty()) {
        edited.EraseSection(doc.Sections().front());
        edited.AddSection(doc.Sections().front());
    }
    (void)edited.Text();
    return 0;
}
