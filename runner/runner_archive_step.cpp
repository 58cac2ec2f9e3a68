// The archive step: GoForZip builds the archive in the staging folder and hands it to the destination.
#include <cmath>

#include "model/archive_names.h"
#include "model/disk_routines.h"
#include "model/path_routines.h"
#include "model/query_entry.h"
#include "model/text_fields.h"
#include "model/time_routines.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "runner/runner.h"
#include "runner/sfx_command_rule.h"
#include "store/permanent_password.h"

namespace vpk {

namespace {

std::string WithExtension(const std::string& path, const std::string& ext) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
    return path.substr(0, dot) + ext;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void Runner::GoForZip() {
    if (!IsAllQueriesRun()) ShowPicture("ZipRun.gif", true);
    // Icons are chosen here but not extracted: the picture element carries the file and the index.
    // "9999" means no index chosen: the self-extracting icon when the archive is one, else the plain one.
    if (state_.IconIndex == "9999") state_.IconIndex = state_.CBExe ? "1" : "0";
    int iconIndex = std::atoi(state_.IconIndex.c_str());
    window_.SetPicture(PictureId::Image2, {state_.IconFile, iconIndex, false, true});

    const auto removable = [this] {
        return !state_.DestFolder.empty() && Fs().TypeOfDrive(state_.DestFolder[0]) == DriveType::Removable;
    };
    state_.DestIsRemovable = removable();
    VerifPresenceDskSinonDD();
    state_.DestIsRemovable = removable();

    if (!Fs().FolderExists(state_.DestFolder)) {
        const bool made = Fs().CreateFolderChain(state_.DestFolder);
        Log(Text("020006") + state_.DestFolder + Text(made ? "020000" : "020001"));
    }
    state_.FilesDone = 0;
    state_.FilesTotal = 0;
    window_.SetLabel(LabelId::LbFileBgZipd, "");
    window_.SetLabel(LabelId::Lb3dFinalInfos, "");

    state_.StagingArchive =
        paths_.stagingFolder + ArchiveFileName("\\" + state_.ArchiveBaseName, false, true);
    const std::string stagingProgram = WithExtension(state_.StagingArchive, ".exe");
    state_.DestArchive = AddBackslash(state_.DestFolder) + DatePrefix(state_.JJMM, state_.CBDatePrefix) +
                         ArchiveFileName("\\" + state_.ArchiveBaseName, state_.CBExe, true);
    window_.SetLabel(LabelId::LbFileRep2Sav, state_.SourceSpec);
    window_.SetLabel(LabelId::LbFileDest, state_.DestArchive);

    if (IsAllQueriesRun() && !Fs().FolderExists(DirOf(state_.SourceSpec) + "\\")) return;

    if (!state_.CbUpdateZip) {
        Fs().DeleteFile(state_.StagingArchive);
        Fs().DeleteFile(stagingProgram);
    }
    Zippage();
    retention_ = Retention(state_.DestFolder, state_.ArchiveBaseName, state_.MaxArchives);
    CopieSupport();
    if (state_.CbUpdateZip && Fs().FileExists(stagingProgram)) {
        // The next run updates the plain archive, so the program goes back to its ".zip" form.
        engine_->SetZipFileName(stagingProgram);
        if (engine_->MakePlainArchive() != 0) Fs().DeleteFile(stagingProgram);
    }
    if (!IsAllQueriesRun()) ShowPicture("ZipRun.gif", false);
}

void Runner::Zippage() {
    TZipEngine& e = *engine_;
    e.SetZipFileName(state_.StagingArchive);
    SFXOpts sfx;
    std::string caption = state_.SfxCaption;
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    if (caption.empty()) state_.SfxCaption = Text("000130");
    e.SetSFXCaption(state_.SfxCaption);
    if (!state_.CbAskFiles) sfx.Include(SFXOptsEnum::SFXAskFiles);
    if (state_.CbAutoRun) sfx.Include(SFXOptsEnum::SFXAutoRun);
    e.SetSFXIcon({});
    e.SetSFXMessage({});
    if (!state_.CbSuccesMsg) sfx.Include(SFXOptsEnum::SFXNoSuccessMsg);
    if (state_.CbSFXMsg) e.SetSFXMessage(SfxMessage(state_.edTypeboiteInt, state_.EdMsgSfx));
    e.SetSFXDefaultDir(state_.SfxDefaultDir);
    e.SetSFXCommandLine({});
    if (state_.SfxCommand.size() > 2) {
        e.SetSFXCommandLine(SfxCommandLine(state_.SfxCommand, state_.DataFolder, state_.CbPath));
        sfx.Include(SFXOptsEnum::SFXAskCmdLine);
    }
    e.SetSFXOverWriteMode(OvrOpts::OvrConfirm);
    if (state_.SfxOverwrite) {
        e.SetSFXOverWriteMode(OvrOpts::OvrAlways);
        sfx.Include(SFXOptsEnum::SFXHideOverWriteBox);
    }
    e.SetSFXOptions(sfx);

    e.SetAddCompLevel(state_.Level);
    AddOpts add{AddOptsEnum::AddDirNames, AddOptsEnum::AddHiddenFiles};
    if (state_.CbSubDir) add.Include(AddOptsEnum::AddRecurseDirs);
    if (Fs().FileExists(state_.StagingArchive)) add.Include(AddOptsEnum::AddUpdate);
    encrypt_ = false;
    password_.clear();
    if (state_.CBPassWord) AskPassword();
    if (encrypt_) add.Include(AddOptsEnum::AddEncrypt);
    e.SetPassword(encrypt_ ? password_ : std::string());
    e.SetAddOptions(add);
    e.FSpecArgs() = state_.IncludeSpecs;
    e.FSpecArgsExcl() = state_.ExcludeSpecs;

    AddInfo(state_.SourceSpec + Text("000550"));
    window_.SetLabel(LabelId::LabelInfo, Text("000075"));
    state_.StartTicks = Clock::Current().TickMs();
    window_.ShowProgress(true);
    window_.SetProgress(0);

    if (IsQueryFileRun()) {
        ZippageForVpkFiles();
    } else {
        e.AddFiles();
    }

    window_.ShowProgress(false);
    window_.ShowLabel(LabelId::LbFileNbProcess, false);
    state_.EndTicks = Clock::Current().TickMs();
    if (Fs().FileExists(state_.StagingArchive)) e.SetArchiveComment(state_.Comment);
    window_.SetLabel(LabelId::LabelInfo, Text("000076"));
    Log(Text("020027") + paths_.stagingFolder);
    RatioFilesStatusBar();
    const std::string name = FileNameOf(state_.StagingArchive);
    if (Fs().FileExists(state_.StagingArchive)) {
        Log(name + " [" + std::to_string(FileSizeOf(state_.StagingArchive)) + "] " + state_.RunSummary +
            Text("020000"));
    } else {
        Log(name + Text("020001"));
    }

    if (state_.CBExe) {
        const std::string program = WithExtension(state_.StagingArchive, ".exe");
        const int result = MakeSelfExtracting();
        state_.StagingArchive = program;
        if (result == 0 && Fs().FileExists(program)) {
            Log(Text("020012") + FileNameOf(program) + " [" + std::to_string(FileSizeOf(program)) + "] " +
                Text("020000"));
        }
        if (!Fs().FileExists(program)) Log(FileNameOf(program) + " " + Text("020001"));
    }
}

int Runner::MakeSelfExtracting() {
    // On failure the ".zip" stays and no ".exe" is left, so the copy step reports the missing program.
    return engine_->MakeSelfExtracting();
}

void Runner::ZippageForVpkFiles() {
    TZipEngine& e = *engine_;
    for (const std::string& entry : state_.IncludeSpecs) {
        std::string spec = entry;
        if (entry.find("<>") != std::string::npos) {
            const std::string flags = AfterLast("<>", entry);
            state_.CbPath = !flags.empty() && flags[0] == '1';
            state_.CbSubDir = flags.size() > 1 && flags[1] == '1';
            spec = entry.substr(0, entry.find("<>"));
        }
        const std::string folder = DirOf(spec);
        if (!state_.CbPath && !folder.empty()) {
            Fs().SetCurrentFolder(AddBackslash(folder));
            spec = spec.substr(folder.size() + 1);
        }
        e.FSpecArgs().clear();
        AddOpts add = e.AddOptions();
        add.Include(AddOptsEnum::AddDirNames);
        if (state_.CbSubDir) {
            add.Include(AddOptsEnum::AddRecurseDirs);
        } else {
            add.Exclude(AddOptsEnum::AddRecurseDirs);
        }
        e.SetAddOptions(add);
        e.FSpecArgsExcl() = state_.ExcludeSpecs;
        e.FSpecArgs() = {spec};
        e.AddFiles();
        e.FSpecArgs().clear();
        if (state_.CancelRequested) break;
    }
}

void Runner::AskPassword() {
    const std::string permanent = ReadPermanentPassword(paths_.settingsFile);
    if (!permanent.empty()) {
        encrypt_ = true;
        password_ = permanent.substr(0, 255);
        return;
    }
    Dialogs& dialogs = Dialogs::Current();
    if (dialogs.Ask({Button("sConfirm"), "?", {"", Text("000210")}, {Button("sYes"), Button("sNo")}}) != 1)
        return;
    std::string first, second;
    const bool given = dialogs.AskText(Text("000190"), Text("000191"), true, first) &&
                       dialogs.AskText(Text("000190"), Text("000192"), true, second) && first == second &&
                       !first.empty();
    if (!given) {
        dialogs.Ask({Button("sInformation"), "!", {Text("000205"), Text("000206")}, {Button("sOk")}});
        Log(Text("020009"));
        encrypt_ = false;
        return;
    }
    encrypt_ = true;
    password_ = first.substr(0, 255);
    Log(Text("020008"));
}

void Runner::ZipEngine1Progress(ProgressType type, const std::string& fileName, std::int64_t size) {
    (void)size;
    switch (type) {
        case ProgressType::FileStart: {
            ++state_.FilesDone;
            ++state_.FilesArchivedTotal;
            const std::string counter =
                std::to_string(state_.FilesDone) + "/" + std::to_string(state_.FilesTotal);
            window_.SetLabel(LabelId::LbFileNbProcess, counter);
            window_.SetApplicationTitle(counter);
            window_.SetLabel(LabelId::LbFileBgZipd, fileName);
            if (Fs().IsFileInUse(fileName)) window_.AddLine(ListId::ListBox2, fileName);
            window_.SetProgress(1);
            break;
        }
        case ProgressType::BytesDone:
            window_.SetProgress(std::min(1000, window_.Progress().position + 10));
            break;
        case ProgressType::BatchEnd:
            window_.SetLabel(LabelId::LbFileBgZipd, " ");
            window_.SetProgress(0);
            break;
        case ProgressType::FileTotal:
            window_.ShowLabel(LabelId::LbFileNbProcess, true);
            state_.FilesTotal += static_cast<int>(size);
            break;
        case ProgressType::SizeTotal:
            window_.SetProgress(1);
            break;
    }
}

void Runner::RatioFilesStatusBar() {
    std::uint64_t packed = 0, unpacked = 0;
    for (const auto& entry : engine_->Entries()) {
        packed += entry.compressedSize;
        unpacked += entry.uncompressedSize;
    }
    long ratio = 0;
    if (packed != 0 && unpacked != 0) {
        ratio = std::lround((1.0 - static_cast<double>(packed) / static_cast<double>(unpacked)) * 100.0);
    }
    const std::string elapsed = ElapsedText(state_.StartTicks, state_.EndTicks);
    const LocalDateTime now = Clock::Current().Now();
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", now.day, now.month, now.year);
    window_.SetTooltip(LabelId::Lb3dRep, "|Date : " + std::string(date) + " / " +
                                             std::to_string(engine_->SuccessCount()) + Text("000090") +
                                             " / " + Text("000093") + std::to_string(ratio) + "%" + " / " +
                                             Text("000092") + elapsed);
    state_.RunSummary = "[ " + std::to_string(engine_->SuccessCount()) + " / " + std::to_string(ratio) + "%" +
                        " / " + elapsed + "]";
}

}  // namespace vpk
