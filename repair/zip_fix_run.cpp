#include "repair/zip_fix_run.h"

#include <exception>

#include "platform/file.h"
#include "platform/file_system.h"
#include "repair/file_repair_sink.h"
#include "repair/format_integers.h"
#include "repair/zip_fix.h"

namespace vpk {

namespace {

std::string FolderOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    if (separator == std::string::npos) return ".";
    // A drive root keeps its separator ("C:\\"), any other folder loses it.
    const bool root = separator == 0 || path[separator - 1] == ':';
    return path.substr(0, root ? separator + 1 : separator);
}

}  // namespace

ZipFixRun::ZipFixRun(MessageText messageText, TextEvent addLine, TextEvent showMessage)
    : messageText_(std::move(messageText)),
      addLine_(std::move(addLine)),
      showMessage_(std::move(showMessage)) {}

ZipFixRun::Outcome ZipFixRun::ZipFix(const std::string& source, const std::string& destination) {
    found_ = 0;
    accepted_ = 0;
    const auto sourceInfo = Fs().Stat(source);
    if (!sourceInfo || !Fs().FileExists(source)) return Outcome::SourceMissing;

    const std::string fullSource = Fs().FullPath(source);
    const std::string fullDestination = Fs().FullPath(destination);
    // The repaired archive needs room where it is written, which need not be the source's drive.
    const std::int64_t free = Fs().FreeBytes(FolderOf(fullDestination));
    if (free >= 0 && static_cast<std::uint64_t>(free) < sourceInfo->size) {
        showMessage_(messageText_("000745"));
        return Outcome::NotEnoughSpace;
    }
    try {
        const auto sourceHost = Fs().ToHost(fullSource);
        if (sourceHost && sourceHost == Fs().ToHost(fullDestination)) {
            // Replacing the damaged file by what could be saved of it would lose whatever another
            // attempt could still recover.
            throw EZipFix("The repaired archive cannot replace its source: " + destination);
        }
        Repair(fullSource, fullDestination);
    } catch (const std::exception& e) {
        showMessage_(e.what());
        return Outcome::Failed;
    }
    addLine_("");
    addLine_(FormatIntegers(messageText_("000760"), {accepted_, found_}));
    return Outcome::Repaired;
}

void ZipFixRun::Repair(const std::string& source, const std::string& destination) {
    const MappedFile input(source);
    const std::string temporary = Fs().TempFileName(FolderOf(destination), "vpk");
    if (temporary.empty()) throw EZipFix("Cannot create a file in the folder of " + destination);
    try {
        File output(temporary, File::Mode::Create);
        FileRepairSink sink(output);
        TZipFix fix;
        fix.OnFileFound = [this](TZipFix&, const std::string& filename, bool ok) {
            LogFoundFile(filename, ok);
        };
        fix.SetInput(input.Data(), input.Size());
        fix.SetOutput(&sink);
        fix.RepairArchive();
        output.Sync();
        output.Close();
        if (!Fs().RenameFile(temporary, destination)) throw EZipFix("Cannot create " + destination);
    } catch (...) {
        Fs().DeleteFile(temporary);
        throw;
    }
}

void ZipFixRun::LogFoundFile(const std::string& filename, bool fileInfoIsOk) {
    ++found_;
    std::string line = filename.empty() ? "??filename??" : filename;
    line += '\t';
    line += messageText_(fileInfoIsOk ? "000755" : "000750");
    if (fileInfoIsOk) ++accepted_;
    addLine_(line);
}

}  // namespace vpk
