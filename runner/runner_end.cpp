// End of the run: the close timer, the quit sequence, eject and shutdown, purging the staging folder.
#include "model/disk_routines.h"
#include "model/setting_keys.h"
#include "platform/dialogs.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/platform_error.h"
#include "platform/process.h"
#include "platform/profile_file.h"
#include "runner/disk_eject.h"
#include "runner/run_log_file.h"
#include "runner/runner.h"

namespace vpk {

using namespace settings::general;
using namespace settings::admini;
using settings::history::kMainDestination;

void Runner::StartCloseTimer() {
    state_.IdleSeconds = 0;
    state_.CloseTimerOn = true;
}

bool Runner::CloseTimerTimer() {
    if (!state_.CloseTimerOn) return false;
    ++state_.IdleSeconds;
    if (!state_.CbAutoClose) return false;
    const int left = timeoutSec_ - state_.IdleSeconds;
    window_.SetCaption(Text("000029") + std::to_string(left) + " s");
    if (left > 0) return false;
    state_.CloseTimerOn = false;
    return BtQuitter3DClick();
}

void Runner::WriteMemo() {
    // The memo is written back only when there is one: quitting must not create an empty memo file.
    if (!memoLoaded_ && memo_.empty()) return;
    try {
        WriteFileAtomically(paths_.memoFile, memo_);
    } catch (const PlatformError&) {
    }
}

void Runner::ApplyLogSizeLimit() {
    const int limit = settings_->Read(kLogLine);
    const auto count = window_.LogLines().size();
    if (static_cast<long long>(count) <= limit) return;
    if (!adminLock_.Allows('l')) {
        window_.SetLogLines({});
        return;
    }
    const int answer = Dialogs::Current().Ask({Button("sConfirm"),
                                               "?",
                                               {"", Text("020915") + " " + std::to_string(count)},
                                               {Button("sYes"), Button("sNo")}});
    if (answer == 1) {
        window_.SetLogLines({});
    } else {
        try {
            settings_->Write(kLogLine, limit + 500);
        } catch (const std::exception&) {
        }
    }
}

bool Runner::BtQuitter3DClick() {
    if (engine_->ZipBusy()) {
        const int answer = Dialogs::Current().Ask(
            {Button("sWarning"), "!", {"", Text("020910")}, {Button("sYes"), Button("sNo")}});
        if (answer == 1) {
            engine_->SetCancel(true);
            state_.CancelRequested = true;
        }
        return false;
    }
    WriteMemo();
    try {
        statistics_.SetFilesArchivedTotal(state_.FilesArchivedTotal);
        statistics_.Save(paths_.statisticsFile);
    } catch (const std::exception& e) {
        // The counter is lost for this run only; the backup itself is done.
        std::fprintf(stderr, "vortipak: %s\n", e.what());
    }
    Log(Text("020003") + std::string(9, ' ') + DateTimeText() + Text("020021") + std::string(9, ' ') +
        Text("020003"));
    ApplyLogSizeLimit();
    if (saveLog_) WriteRunLog(paths_.runLog, window_.LogLines());
    if (!adminLock_.Allows('s') && screenSaverWasActive_) SetScreenSaverActive(true);
    window_.ShowWindow(false);
    try {
        settings_->SaveHistory(destinationBox_, kMainDestination);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vortipak: %s\n", e.what());
    }
    EjectClose();
    quitted_ = true;
    return true;
}

void Runner::EjectClose() {
    // Ejecting or shutting down after a failed backup would take away the medium or the machine the
    // user needs to see and fix what went wrong.
    if (!reported_ || !succeeded_) return;
    if (state_.CbEject) {
        const std::string folder = state_.DestFolder.empty() ? "C:\\" : state_.DestFolder;
        const char letter = static_cast<char>(std::toupper(folder[0]));
        if (Fs().TypeOfDrive(letter) == DriveType::Removable) {
            try {
                TDiskEject eject(hooks_.eject);
                eject.SetDrive(letter);
                eject.SetEjected(true);
            } catch (const EDiskEject& e) {
                // The backup is on the disk; a disk that stays in is no reason to stop quitting.
                std::fprintf(stderr, "vortipak: %s\n", e.what());
            }
        }
    }
    if (state_.CbQuitOS) hooks_.shutdown();
}

void Runner::PurgeSasZip() {
    const int answer = Dialogs::Current().Ask(
        {Button("sConfirm"), "?", {"", Text("020920")}, {Button("sYes"), Button("sNo")}});
    if (answer != 1) return;
    bool ok = true;
    FileFinder finder(paths_.stagingFolder + "*.*", kAttrAnyFile);
    FindEntry entry;
    while (finder.Next(entry)) {
        if (entry.attributes & kAttrDirectory) {
            AddInfo(entry.name + " repertoire");
            continue;
        }
        if (!Fs().DeleteFile(paths_.stagingFolder + entry.name)) ok = false;
    }
    Fs().RemoveFolder(paths_.stagingFolder);
    Log(DateTimeText() + Text("020037") + Text(ok ? "020000" : "020001"));
}

}  // namespace vpk
