#include "platform/profile_edit.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/text_codec.h"

namespace vpk {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string Quoted(std::string_view file) {
    return "\"" + std::string(file) + "\"";
}

}  // namespace

std::string ReadProfileText(std::string_view file) {
    const auto host = Fs().ToHost(file);
    std::string bytes;
    if (!host || !ReadWholeFile(*host, bytes)) return {};
    return DecodeFileText(std::move(bytes));
}

ProfileDocument ReadProfileFile(std::string_view file) { return ProfileDocument{ReadProfileText(file)}; }

bool ReadProfileValue(std::string_view file, std::string_view section, std::string_view key, std::string& value) {
    return ProfileDocument::FindValueInText(ReadProfileText(file), section, key, value);
}

void EditProfileFile(std::string_view file, const std::function<bool(ProfileDocument&)>& edit) {
    const auto host = Fs().ToHost(file);
    if (!host) throw PlatformError("cannot write to " + Quoted(file) + ": the drive is not mapped");
    struct stat st {};
    std::string bytes;
    std::string refusal;  // why the file cannot take a write; raised only when there is a change to write
    bool exists = false;
    if (::stat(host->c_str(), &st) == 0) {
        exists = true;
        if (S_ISDIR(st.st_mode)) {
            refusal = "it is a folder";
        } else if (!S_ISREG(st.st_mode)) {
            refusal = "not a regular file";
        } else if (!(st.st_mode & S_IWUSR)) {
            refusal = "the file is read-only";
        }
        if (S_ISREG(st.st_mode) && !ReadWholeFile(*host, bytes)) {
            throw PlatformError("cannot read " + Quoted(file) + ": " + std::strerror(errno));
        }
    } else if (errno != ENOENT) {
        refusal = std::strerror(errno);
    }
    const bool utf8 = IsValidUtf8(bytes);
    const bool bom = utf8 && std::string_view(bytes).substr(0, 3) == kBom;
    ProfileDocument doc(DecodeFileText(bytes));
    if (!edit(doc)) return;
    if (!refusal.empty()) throw PlatformError("cannot write to " + Quoted(file) + ": " + refusal);
    const std::string text = doc.Text();
    std::string out;
    bool lossless = false;
    if (exists && !utf8) out = Utf8ToCp1252(text, &lossless);
    if (!lossless) {
        // A Windows-1252 file keeps its encoding while the new text fits in it; otherwise the whole file
        // becomes UTF-8 rather than a mixture no reader could decode.
        out = bom ? std::string(kBom) + text : text;
    }
    try {
        WriteFileAtomically(*host, out);
    } catch (const PlatformError& e) {
        throw PlatformError("cannot write to " + Quoted(file) + ": " + e.what());
    }
}

}  // namespace vpk
