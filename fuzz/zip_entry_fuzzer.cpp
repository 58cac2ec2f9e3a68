// Fuzz target: an arbitrary file read as an archive, its directory walked and its first entries
// expanded (with and without a password) the way the unzip library does. Nothing may crash, hang or
// read out of bounds, whatever the bytes claim.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/unziplib/entry_decoder.h"
#include "engine/zip_archive_reader.h"

namespace {

std::string TempArchive(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/vpk-fuzz-" + std::to_string(::getpid()) + ".zip";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = TempArchive(data, size);
    try {
        vpk::zip::ZipArchiveReader reader(path);
        int expanded = 0;
        for (const auto& entry : reader.Entries()) {
            if (++expanded > 4) break;
            try {
                const vpk::zip::EntryData where = reader.Locate(entry);
                for (const std::optional<std::string>& password :
                     {std::optional<std::string>(), std::optional<std::string>("pw")}) {
                    // Sizes are bounded by the file, so even the in-memory path stays small here.
                    if (entry.values.uncompressedSize <= (1u << 24)) {
                        std::vector<std::uint8_t> output;
                        vpk::zip::DecodeBuffered(reader.Input(), entry, where, password, output);
                    }
                    vpk::zip::DecodeStreamed(reader.Input(), entry, where, password, nullptr);
                }
            } catch (const vpk::zip::ZipFormatError&) {
            }
        }
    } catch (const std::exception&) {
        // Damaged input is reported as an error, which is what we want.
    }
    return 0;
}
