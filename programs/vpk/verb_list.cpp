// vpk list ARCHIVE: the entries of an archive, its comment and totals.
#include <cstdio>

#include "engine/zip_engine.h"
#include "platform/file_system.h"
#include "programs/vpk/engine_console.h"
#include "programs/vpk/verb_registry.h"

namespace vpk::cli {
namespace {

constexpr const char* kUsage = "ARCHIVE";

const char* MethodName(std::uint16_t method) {
    switch (method) {
        case 0:
            return "Stored";
        case 8:
            return "Deflate";
        case 9:
            return "Defl64";
        case 12:
            return "BZip2";
        case 14:
            return "LZMA";
        case 99:
            return "AES";
        default:
            return "Other";
    }
}

int Ratio(std::uint64_t packed, std::uint64_t size) {
    if (size == 0 || packed >= size) return 0;
    return static_cast<int>(100 - packed * 100 / size);
}

int RunList(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    std::string error;
    if (!ParseArguments(args, "", "", parsed, &error)) return UsageError("list", error, kUsage);
    if (parsed.positional.size() != 1) return UsageError("list", "one archive expected", kUsage);

    TZipEngine engine;
    EngineConsole console(engine, "list");
    engine.SetCodePage(CodePageOpts::cpAuto);
    if (!OpenExistingArchive(engine, console, "list", parsed.positional[0])) return console.ExitStatus();

    std::printf("%12s  %-7s %12s %4s  %-10s %-5s  %-8s  %s\n", "Length", "Method", "Size", "Cmpr", "Date",
                "Time", "CRC-32", "Name");
    std::uint64_t totalSize = 0, totalPacked = 0;
    for (const ZipDirEntry& e : engine.Entries()) {
        const unsigned date = e.dateTime >> 16, time = e.dateTime & 0xFFFF;
        std::printf("%12llu  %-7s %12llu %3d%%  %04u-%02u-%02u %02u:%02u  %08x  %s%s\n",
                    static_cast<unsigned long long>(e.uncompressedSize), MethodName(e.compressionMethod),
                    static_cast<unsigned long long>(e.compressedSize),
                    Ratio(e.compressedSize, e.uncompressedSize), 1980 + (date >> 9), (date >> 5) & 15,
                    date & 31, time >> 11, (time >> 5) & 63, e.crc32, e.name.c_str(),
                    e.encrypted ? "  (encrypted)" : "");
        totalSize += e.uncompressedSize;
        totalPacked += e.compressedSize;
    }
    std::printf("%12llu          %12llu %3d%%  %d entr%s\n", static_cast<unsigned long long>(totalSize),
                static_cast<unsigned long long>(totalPacked), Ratio(totalPacked, totalSize),
                engine.EntryCount(), engine.EntryCount() == 1 ? "y" : "ies");
    const std::string comment = engine.ArchiveComment();
    if (!comment.empty()) std::printf("Comment: %s\n", comment.c_str());
    return console.ExitStatus();
}

const VerbRegistration kList{"list", kUsage, "List the entries of an archive", RunList};

}  // namespace
}  // namespace vpk::cli
