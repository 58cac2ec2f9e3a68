// Any input: the scan never reads outside it, and whatever it keeps forms a consistent archive whose
// entries lie inside the output and whose directory lists exactly the kept entries.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/zip_format.h"
#include "repair/zip_fix.h"

namespace {

class StringSink : public vpk::RepairSink {
  public:
    void Write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
    void Flush() override {}
    std::string bytes;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StringSink sink;
    vpk::TZipFix fix;
    std::size_t found = 0;
    std::size_t accepted = 0;
    fix.OnFileFound = [&](vpk::TZipFix&, const std::string&, bool ok) {
        ++found;
        if (ok) ++accepted;
    };
    fix.SetInput(data, size);
    fix.SetOutput(&sink);
    fix.RepairArchive();
    Check(accepted == fix.Entries().size() && accepted <= found);
    if (accepted == 0) {
        Check(sink.bytes.empty());
        return 0;
    }
    const auto* out = reinterpret_cast<const std::uint8_t*>(sink.bytes.data());
    Check(sink.bytes.size() >= vpk::zip::kEndRecordSize);
    vpk::zip::EndRecord end;
    Check(end.Parse(out + sink.bytes.size() - vpk::zip::kEndRecordSize));
    std::uint64_t at = end.directoryOffset;
    for (const auto& entry : fix.Entries()) {
        Check(entry.localHeaderOffset + entry.CopiedSize() <= at);
        Check(vpk::zip::Get32(out + entry.localHeaderOffset) == vpk::zip::kLocalHeaderSignature);
        vpk::zip::CentralHeader header;
        Check(at + vpk::zip::kCentralHeaderSize <= sink.bytes.size() && header.Parse(out + at));
        Check(header.nameLength == entry.name.size() && header.commentLength == 0);
        at += header.TotalSize();
    }
    Check(at + vpk::zip::kEndRecordSize == sink.bytes.size());
    return 0;
}
