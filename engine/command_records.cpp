#include "engine/command_records.h"

#include <algorithm>
#include <cstring>

#include "engine/zip_engine.h"
#include "platform/file_system.h"

namespace vpk {

namespace {

constexpr std::int32_t Flag(bool on) {
    return on ? kFlagYes : kFlagNo;
}

void FillPassword(std::array<char, kPasswordBufferSize>& buffer, const std::string& password) {
    const std::size_t n = std::min(password.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), password.data(), n);
    buffer[n] = '\0';
}

// The library resolves paths through its own view of the current folder; an absolute name keeps both
// sides pointing at the same file.
std::string LibraryPath(const std::string& name) {
    if (name.empty() || name[0] == '/') return name;
    std::string full = Fs().FullPath(name);
    return full.empty() ? name : full;
}

}  // namespace

std::string StoreSuffixList(const TZipEngine& engine) {
    std::string list;
    for (int i = 0; i < kStoreSuffixCount; ++i) {
        const auto suffix = static_cast<AddStoreSuffixEnum>(i);
        if (!engine.AddStoreSuffixes().Has(suffix)) continue;
        if (!list.empty()) list += ':';
        list += '.';
        list += StoreSuffixText(suffix);
    }
    return list;
}

ZipCommandBuilder::ZipCommandBuilder(TZipEngine& engine, std::int32_t libraryVersion, bool deleting) {
    using enum AddOptsEnum;
    const AddOpts options = engine.AddOptions();
    const bool modern = libraryVersion >= kLibraryInterfaceVersion;

    archiveName_ = LibraryPath(engine.ZipFileName());
    tempDir_ = engine.TempDir();
    comment_ = engine.StoredComment();
    suffixes_ = StoreSuffixList(engine);
    specs_ = engine.FSpecArgs();
    exclusions_ = engine.FSpecArgsExcl();
    FillPassword(password_, engine.Password());

    specEntries_.resize(specs_.size());
    for (std::size_t i = 0; i < specs_.size(); ++i) specEntries_[i].spec = specs_[i].c_str();
    for (const auto& exclusion : exclusions_) exclusionPointers_.push_back(exclusion.c_str());

    ZipCommand& r = record_;
    r.handle = engine.Unattended() ? nullptr : engine.ApplicationHandle();
    r.caller = &engine;
    r.version = kLibraryInterfaceVersion;
    r.callback = &TZipEngine::LibraryCallbackEntry;
    r.trace = Flag(engine.Trace());
    r.password = password_.data();
    r.storeSuffixes = suffixes_.empty() ? nullptr : suffixes_.c_str();
    r.encrypt = Flag(options.Has(AddEncrypt));
    r.addHiddenFiles = Flag(options.Has(AddHiddenFiles));
    r.noSeparateDirs = Flag(!options.Has(AddSeparateDirs));
    r.verbose = Flag(engine.Verbose() || engine.Trace());
    r.constantMinus56 = -1;
    r.level = engine.AddCompLevel();
    r.noDirNames = Flag(!options.Has(AddDirNames));
    r.recurseDirs = options.Has(AddRecurseDirs) ? 0xFFFF : 0;
    r.constantMinus80 = -1;
    r.forceDos = Flag(options.Has(AddForceDOS));
    r.move = Flag(options.Has(AddMove));
    r.update = Flag(options.Has(AddUpdate));
    r.freshen = Flag(options.Has(AddFreshen) && !options.Has(AddUpdate));
    r.zipTime = Flag(options.Has(AddZipTime));
    r.specCount = static_cast<std::int32_t>(specEntries_.size());
    r.archiveName = archiveName_.c_str();
    r.tempDir = tempDir_.empty() ? nullptr : tempDir_.c_str();
    r.specs = specEntries_.data();
    if (modern) {
        r.comment = comment_.empty() ? nullptr : comment_.c_str();
        r.archiveOnly = options.Has(AddArchiveOnly) ? 1 : 0;
        r.resetArchive = options.Has(AddResetArchive) ? 1 : 0;
        r.exclusionCount = static_cast<std::int32_t>(exclusionPointers_.size());
        r.exclusions = exclusionPointers_.empty() ? nullptr : exclusionPointers_.data();
    }
    r.check = kCommandRecordCheck;

    if (deleting) {
        r.deleteEntries = kFlagYes;
        r.encrypt = r.noDirNames = r.constantMinus80 = r.move = r.update = r.freshen = 0;
        r.recurseDirs = 0;
    }
}

UnzipCommandBuilder::UnzipCommandBuilder(TZipEngine& engine, std::int32_t libraryVersion,
                                         const std::string& archiveName) {
    using enum ExtrOptsEnum;
    const ExtrOpts options = engine.ExtrOptions();

    specs_ = engine.FSpecArgs();
    specEntries_.resize(specs_.size());
    for (std::size_t i = 0; i < specs_.size(); ++i) specEntries_[i].spec = specs_[i].c_str();
    if (libraryVersion < kLibraryInterfaceVersion && engine.Unattended() &&
        engine.AddOptions().Has(AddOptsEnum::AddEncrypt) && engine.Password().empty()) {
        // Older libraries asked the user for an empty password even when told not to; a filler that
        // matches no real password makes them fail the entry instead.
        FillPassword(password_, std::string(kPasswordBufferSize - 1, '\x1F'));
    } else {
        FillPassword(password_, engine.Password());
    }
    archiveName_ = LibraryPath(archiveName);

    UnzipCommand& r = record_;
    r.handle = engine.Unattended() ? nullptr : engine.ApplicationHandle();
    r.caller = &engine;
    r.version = kLibraryInterfaceVersion;
    r.callback = &TZipEngine::LibraryCallbackEntry;
    r.trace = Flag(engine.Trace());
    r.password = password_.data();
    r.test = Flag(options.Has(ExtrTest));
    r.constantMinus40 = -1;
    r.verbose = Flag(engine.Verbose() || engine.Trace());
    r.update = Flag(options.Has(ExtrUpdate));
    r.freshen = Flag(options.Has(ExtrFreshen) && !options.Has(ExtrUpdate));
    r.dirNames = Flag(options.Has(ExtrDirNames));
    r.overwrite = Flag(options.Has(ExtrOverWrite));
    r.specCount = static_cast<std::int32_t>(specEntries_.size());
    r.archiveName = archiveName_.c_str();
    r.specs = specEntries_.data();
    r.passwordReqCount =
        libraryVersion >= kLibraryInterfaceVersion ? static_cast<std::int32_t>(engine.PasswordReqCount()) : 0;
    r.check = kCommandRecordCheck;
}

}  // namespace vpk
