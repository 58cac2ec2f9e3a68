// Start-up, dispatch, LoadGlobalSet and the run-log memo.
#include <cstdio>

#include "lang/language.h"
#include "model/disk_routines.h"
#include "model/path_routines.h"
#include "model/setting_keys.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "runner/run_log_file.h"
#include "runner/runner.h"

namespace vpk {

using namespace settings::general;
using namespace settings::admini;
using settings::history::kMainDestination;

namespace {

std::string TwoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

}  // namespace

Runner::Runner(MainWindowModel& window, RunState& state, RunnerOptions options, RunnerHooks hooks)
    : window_(window),
      state_(state),
      options_(std::move(options)),
      hooks_(std::move(hooks)),
      adminLock_(RunPaths::ForProgramFolder(options_.programFolder.empty() ? ProgramFolder()
                                                                           : options_.programFolder)
                     .settingsFile) {
    if (!hooks_.shutdown) hooks_.shutdown = [] { return RequestShutdown(); };
    if (!hooks_.eject) hooks_.eject = [](char letter) { return Fs().Eject(letter); };
    if (!hooks_.playSound)
        hooks_.playSound = [this](const std::string& name) {
            const std::string path = paths_.programFolder + name;
            if (Fs().FileExists(path)) PlaySoundAsync(path);
        };
    paths_ =
        RunPaths::ForProgramFolder(options_.programFolder.empty() ? ProgramFolder() : options_.programFolder);
    settings_ = std::make_unique<GlobalSettings>(paths_.settingsFile);

    // The engine of the main window: unattended (questions come from the runner), compressed names in
    // the OEM code page, deletions final.
    engine_ = std::make_unique<TZipEngine>();
    engine_->SetUnattended(true);
    engine_->SetAddCompLevel(9);
    engine_->SetCodePage(CodePageOpts::cpOEM);
    engine_->SetHowToDelete(DeleteOpts::htdFinal);
    engine_->SetSFXPath("VpkSFX.bin");
    engine_->SetAddStoreSuffixes(DefaultStoreSuffixes());
    engine_->FSpecArgsExcl() = {"VPK_RUN.EXE"};
    engine_->SetDLLDirectory(options_.dllDirectory.empty() ? paths_.programFolder : options_.dllDirectory);
    engine_->OnMessage = [this](TZipEngine&, int code, const std::string& text) {
        ZipEngine1Message(code, text);
    };
    engine_->OnProgress = [this](TZipEngine&, ProgressType type, const std::string& name, std::int64_t size) {
        ZipEngine1Progress(type, name, size);
    };
}

Runner::~Runner() {
    engine_->OnMessage = nullptr;
    engine_->OnProgress = nullptr;
}

std::string Runner::DateTimeText() const {
    const LocalDateTime now = Clock::Current().Now();
    return TwoDigits(now.day) + "/" + TwoDigits(now.month) + "/" + std::to_string(now.year) + " " +
           TwoDigits(now.hour) + ":" + TwoDigits(now.minute) + ":" + TwoDigits(now.second);
}

void Runner::Log(std::string line) {
    window_.AddLogLine(std::move(line));
}

void Runner::Start(std::vector<std::string> args, int showCommand) {
    args_ = std::move(args);
    firstArgument_ = args_.empty() ? std::string() : args_.front();
    mode_ = ClassifyFirstArgument(!args_.empty(), firstArgument_);

    // Process initialisation.
    if (!Fs().FolderExists(paths_.stagingFolder)) Fs().CreateFolderChain(paths_.stagingFolder);
    state_.IncludeSpecs.clear();
    state_.ExcludeSpecs.clear();
    state_.ShowCommand = showCommand;
    state_.IdleSeconds = 0;
    state_.ApplicationLocated = true;
    state_.CancelRequested = false;

    // FormCreate.
    window_.SetWindowSize(400, 215);
    language_.SetFN(LanguageFileName(paths_.programFolder, settings_->Read(kLang)));
    window_.SetCaption(Text("000020"));
    window_.SetLogLines(ReadRunLog(paths_.runLog));
    settings_->LoadHistory(destinationBox_, kMainDestination);
    if (destinationBox_.Entries().size() < 2) FillDrives(destinationBox_);
    window_.SetDestinationBox(
        {destinationBox_.Text(), destinationBox_.Entries(), destinationBox_.Caret(), {}});
    ComboPathChange(destinationBox_.Text());
    if (settings_->Read(kMainMnu)) window_.SetWindowSize(400, 235);
}

void Runner::Dispatch() {
    switch (mode_) {
        case RunMode::AllQueries:
            AllArchives();
            break;
        case RunMode::NumberedQuery:
            OneRequete();
            break;
        case RunMode::QueryFile:
            FichierVpk();
            break;
        default:
            break;  // interactive, viewer and restore belong to their windows
    }
}

void Runner::LoadGlobalSet() {
    window_.ClearList(ListId::ListBox1);
    window_.ClearList(ListId::ListBox2);
    window_.SetLabel(LabelId::LbFileBgZipd, "");
    window_.SetLabel(LabelId::Lb3dFinalInfos, "");

    // Temporary files of an interrupted archive step: the old names and the engine's own.
    for (const char* mask : {"ZipTmp*.*", "vpk*.tmp"}) {
        FileFinder finder(paths_.stagingFolder + mask,
                          kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
        FindEntry entry;
        while (finder.Next(entry)) Fs().DeleteFile(paths_.stagingFolder + entry.name);
    }

    screenSaverWasActive_ = ScreenSaverActive();
    if (!adminLock_.Allows('s') && screenSaverWasActive_) SetScreenSaverActive(false);

    sounds_ = settings_->Read(kWav);
    pictures_ = settings_->Read(kGif);
    state_.JJMM = settings_->Read(kDm);
    diskRotation_ = settings_->Read(kDskTurnGame);
    const bool progressView = settings_->Read(kVoirZip);
    saveLog_ = settings_->Read(kLog);
    timeoutSec_ = settings_->Read(kTimeoutSec);

    window_.ShowPanel(PanelId::VisuZippage, progressView);
    window_.ShowList(ListId::ListBox3, !progressView);
    window_.ShowPanel(PanelId::P2, settings_->Read(kShowPostIt) || settings_->Read(kShowBtnQ) ||
                                       settings_->Read(kShowBtnH) || settings_->Read(kShowBtnF));

    memoLoaded_ = ReadWholeFile(paths_.memoFile, memo_);

    // A missing or unreadable statistics file starts the total at 0; an unreadable one is rewritten
    // whole at the next save (its other streams were lost anyway).
    statistics_.Load(paths_.statisticsFile);
    state_.FilesArchivedTotal = statistics_.FilesArchivedTotal();
}

}  // namespace vpk
