#pragma once
// The backup program's main-window logic without the window: start-up, the batch modes, the archive
// step, destinations and media, the outcome reports, the end of the run. It writes every visible
// value to a MainWindowModel (the Qt window and the console view show it) and asks through Dialogs.
//
// Threading: everything runs on the calling (user-interface) thread; the engine pumps events through
// its callback, so a window may call BtQuitter3DClick, ResetTimeOut or ListBox1Click meanwhile.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/zip_engine.h"
#include "lang/language.h"
#include "model/global_settings.h"
#include "model/history_list.h"
#include "runner/main_window_model.h"
#include "runner/run_mode.h"
#include "runner/run_paths.h"
#include "runner/run_state.h"
#include "store/admin_lock.h"
#include "store/archive_statistics.h"

namespace vpk {

// What the runner asks of the system at the end of a run; tests replace them so no test ever shuts
// the machine down or waits for a click.
struct RunnerHooks {
    std::function<bool()> shutdown;                     // ordinary (not forced) shutdown request
    std::function<bool(char letter)> eject;             // eject the medium of a removable drive
    std::function<void(const std::string&)> playSound;  // a sound file of the program folder
    // Several folders hold the application: returns the one the user chose (nullopt: none). The window
    // waits for a click in the error list; without one, each folder is offered through Dialogs.
    std::function<std::optional<std::string>(const std::vector<std::string>& folders)> chooseFolder;
    // The split window; false when the split window is not available.
    std::function<bool(const std::string& source, std::string& destFolder)> splitWindow;
};

struct RunnerOptions {
    std::string programFolder;  // virtual, empty: the running program's folder
    std::string dllDirectory;   // where the zip libraries are; empty: the program folder
};

class Runner {
  public:
    Runner(MainWindowModel& window, RunState& state, RunnerOptions options = {}, RunnerHooks hooks = {});
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Process initialisation and the window's creation (language, log memo, destination history).
    // args are the command-line arguments after the program name.
    void Start(std::vector<std::string> args, int showCommand);
    // Runs the mode the first argument selects; batch modes return after their outcome report with
    // the close timer on. Viewer and restore are not handled here: the caller decides (Mode()).
    void Dispatch();
    RunMode Mode() const { return mode_; }

    // Interactive start (no argument): the window waits for the user's commands afterwards.
    void AucunParametre();
    AdminLock& Admin() { return adminLock_; }

    // --- Batch modes and query loading ---
    void OneRequete();
    void AllArchives();
    void FichierVpk();
    void LoadGlobalSet();
    void LoadSetNbSection();
    void BuildNumberedIncludes();
    void BuildNumberedExcludes();
    void FindExePatchAllDrive();

    // --- Archive step ---
    void GoForZip();
    void Zippage();
    void ZippageForVpkFiles();
    void AskPassword();
    void RatioFilesStatusBar();
    // The one place where a staging archive is made self-extracting; 0 on success.
    int MakeSelfExtracting();

    // --- Destination and media ---
    void VerifPresenceDskSinonDD();
    bool AskForDisk();  // false: cancelled (the destination is now C:\)
    void ReadVolLabel(const std::string& root);
    void CopieSupport();
    void SpanFile();
    void ComboPathChange(const std::string& text);
    void CreerRepertoire();  // the folder typed in the destination box, after asking
    void UpdateLbExplo();

    // --- Outcome ---
    void ZipEngine1Message(int errCode, const std::string& message);
    void InfosErreurs();
    void InfosPASErreurs();
    void InfosDES_Erreurs();
    void ListBox1Click(int index);
    void ListBox2Click(int index);  // the clicked in-use line becomes the list's tooltip
    // True once the success report was made (and no error report since).
    bool Succeeded() const { return succeeded_; }

    // --- End of run ---
    void StartCloseTimer();
    // One tick of the close timer; true when it ran the quit sequence.
    bool CloseTimerTimer();
    void ResetTimeOut() { state_.IdleSeconds = 0; }
    // The quit sequence; false while the engine works (it only asks to cancel).
    bool BtQuitter3DClick();
    void EjectClose();
    void PurgeSasZip();
    bool Quitted() const { return quitted_; }

    // Run-log memo.
    void Log(std::string line);
    std::string Text(std::string_view key) const { return language_.MessageText(key); }
    std::string Button(std::string_view key) const { return language_.ButtonText(key); }
    std::string DateTimeText() const;

    const RunPaths& Paths() const { return paths_; }
    // The window's translation component (its Lg): the window gives it the component tree to translate.
    TLanguage& Language() { return language_; }
    // The memo text the quit sequence writes back; a window that shows the memo hands its text over.
    const std::string& Memo() const { return memo_; }
    void SetMemo(std::string text) {
        memo_ = std::move(text);
        memoLoaded_ = true;
    }
    TZipEngine& Engine() { return *engine_; }

  private:
    struct RetentionPlan {
        std::string toDelete;  // the oldest archive, removed once the new one is safely in place
    };
    RetentionPlan Retention(const std::string& folder, const std::string& baseName, int count);
    void ApplyRetention(const RetentionPlan& plan);
    bool VerifyDestination();
    void ZipEngine1Progress(ProgressType type, const std::string& fileName, std::int64_t size);
    void AddError(std::string line);
    void AddInfo(std::string line);
    void SetDestFolder(const std::string& folder);
    void ShowPicture(const std::string& name, bool animate, bool whateverSetting = false);
    void ApplyLogSizeLimit();
    void WriteMemo();
    bool ShowWindowAllowed() const { return !state_.StartedMinimized(); }
    const std::string& FirstArgument() const { return firstArgument_; }
    bool IsAllQueriesRun() const { return mode_ == RunMode::AllQueries; }
    bool IsQueryFileRun() const { return mode_ == RunMode::QueryFile; }

    MainWindowModel& window_;
    RunState& state_;
    RunnerOptions options_;
    RunnerHooks hooks_;
    RunPaths paths_;
    std::unique_ptr<GlobalSettings> settings_;
    TLanguage language_;
    std::unique_ptr<TZipEngine> engine_;
    ArchiveStatistics statistics_;
    HistoryList destinationBox_;
    std::vector<std::string> args_;
    std::string firstArgument_;
    RunMode mode_ = RunMode::Interactive;
    std::string queryFile_;
    std::string memo_;
    bool memoLoaded_ = false;
    bool screenSaverWasActive_ = false;
    AdminLock adminLock_;
    bool sounds_ = true;
    bool pictures_ = true;
    bool diskRotation_ = false;
    bool saveLog_ = true;
    int timeoutSec_ = 20;
    bool succeeded_ = false;
    bool reported_ = false;
    bool quitted_ = false;
    std::string password_;
    bool encrypt_ = false;
    RetentionPlan retention_;
};

}  // namespace vpk
