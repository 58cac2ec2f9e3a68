// Fuzz target for the directory reader: any bytes, read as an archive (and as every piece of a
// multi-disk set), must give a directory or a numbered error, never a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/ezip_engine.h"
#include "engine/zip_dir_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vpk::MemoryArchiveSource source(std::string_view(reinterpret_cast<const char*>(data), size));
    vpk::ZipDirReaderHooks hooks;
    int disksOpened = 0;
    hooks.openDisk = [&](std::uint32_t) -> vpk::ArchiveSource* {
        return ++disksOpened < 4 ? &source : nullptr;
    };
    for (auto codePage : {vpk::CodePageOpts::cpAuto, vpk::CodePageOpts::cpOEM}) {
        vpk::ZipDirectory directory;
        try {
            vpk::ReadZipDirectory(source, "PKBACK# 002", codePage, hooks, directory);
        } catch (const vpk::EZipEngine&) {
        }
    }
    return 0;
}
