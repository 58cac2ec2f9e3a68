#include "runner/archive_verifier.h"

#include "engine/zip_engine.h"
#include "platform/file_system.h"

namespace vpk {

VerifyResult VerifyArchive(const std::string& archive, const std::string& dllDirectory,
                           const std::string& password, int expectedEntries) {
    VerifyResult result;
    if (!Fs().FileExists(archive)) {
        result.problem = archive + ": missing";
        return result;
    }
    TZipEngine engine;
    engine.SetUnattended(true);
    engine.SetDLLDirectory(dllDirectory);
    std::string firstError;
    bool crcFailed = false;
    engine.OnMessage = [&](TZipEngine&, int code, const std::string& text) {
        if (code != 0 && firstError.empty()) firstError = text;
    };
    engine.OnCRC32Error = [&](TZipEngine&, const std::string& file, std::uint32_t, std::uint32_t,
                              bool& extract) {
        crcFailed = true;
        extract = false;
        if (firstError.empty()) firstError = "CRC error: " + file;
    };
    engine.SetZipFileName(archive);
    result.entries = engine.EntryCount();
    if (result.entries < expectedEntries || (result.entries == 0 && expectedEntries > 0)) {
        result.problem = archive + ": " + std::to_string(result.entries) + " of " +
                         std::to_string(expectedEntries) + " entries listed";
        return result;
    }
    int files = 0;
    for (const auto& entry : engine.Entries()) {
        if (entry.name.empty() || entry.name.back() != '\\') ++files;
    }
    if (files == 0) {
        result.ok = true;
        return result;
    }
    engine.SetPassword(password);
    engine.SetExtrOptions(ExtrOpts{ExtrOptsEnum::ExtrTest});
    engine.FSpecArgs().clear();
    engine.ExtractFiles();
    result.tested = engine.SuccessCount();
    if (crcFailed || result.tested < files) {
        result.problem = archive + ": " + std::to_string(result.tested) + " of " + std::to_string(files) +
                         " files tested" + (firstError.empty() ? std::string() : " (" + firstError + ")");
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace vpk
