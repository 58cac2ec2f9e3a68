// Destinations and removable media: the disk check, the copy to the destination and its check,
// retention, the destination box and the free-space label.
#include <algorithm>

#include "model/archive_names.h"
#include "model/disk_routines.h"
#include "model/path_routines.h"
#include "model/text_fields.h"
#include "model/time_routines.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "runner/archive_verifier.h"
#include "runner/free_space.h"
#include "runner/runner.h"
#include "runner/sfx_command_rule.h"

namespace vpk {

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

char DriveOf(const std::string& folder) {
    return folder.size() >= 2 && folder[1] == ':' ? static_cast<char>(std::toupper(folder[0])) : 'C';
}

std::string RootOf(const std::string& folder) {
    return std::string(1, DriveOf(folder)) + ":\\";
}

std::int64_t FreeOn(const std::string& folder) {
    return DiskFree(DriveOf(folder) - 'A' + 1);
}

// Creating a file on the root and writing into it is the only sure test that a disk takes data.
bool DiskWritable(const std::string& root) {
    const std::string probe = root + "a.dat";
    bool ok = true;
    try {
        File f(probe, File::Mode::Create);
        f.Write("a", 1);
        f.Close();
    } catch (const std::exception&) {
        ok = false;
    }
    if (Fs().FileExists(probe)) Fs().DeleteFile(probe);
    return ok;
}

}  // namespace

void Runner::VerifPresenceDskSinonDD() {
    // The checks repeat until they pass or the user cancels (the destination is then C:\).
    while (state_.DestIsRemovable) {
        const char letter = DriveOf(state_.DestFolder);
        const std::string root = RootOf(state_.DestFolder);
        if (!Fs().DiskPresent(letter) || !FileFinder(root + "*.*").FolderFound()) {
            if (!AskForDisk()) return;
            continue;
        }
        if (!DiskWritable(root)) {
            if (!AskForDisk()) return;
            continue;
        }
        ReadVolLabel(root);
        if (Clock::Current().Now().dayOfWeek != state_.DiskDay) {
            if (!AskForDisk()) return;
            continue;
        }
        return;
    }
}

void Runner::ReadVolLabel(const std::string& root) {
    if (!state_.DestIsRemovable) return;
    const std::string label = VolumeLabel(root);
    const DiskLabelInfo info = ParseDiskLabel(label, Clock::Current().Now().dayOfWeek, diskRotation_);
    state_.DiskLabel = info.label;
    state_.NewDiskLabel = info.newLabel;
    state_.DiskDay = info.day;
}

bool Runner::AskForDisk() {
    std::string request;
    if (diskRotation_) {
        // The disk wanted is today's: the one in the drive may belong to another day.
        const int day = std::clamp(Clock::Current().Now().dayOfWeek, 1, 7);
        request = Text("000171") + " " + Text("00018" + std::to_string(day)) + " " + Text("000172") + " ";
    } else {
        request = Text("000173") + " ";
    }
    const std::string drive = std::string(1, DriveOf(state_.DestFolder)) + ":\\";
    const int answer = Dialogs::Current().Ask({Button("sInformation"),
                                               "!",
                                               {Text("000174") + " " + request + Text("000175") + " " + drive,
                                                Text("000160"), Text("000151"), Text("000152")},
                                               {Button("sOk"), Button("sCancel")}});
    if (answer == 1) {
        WaitMs(200);
        return true;
    }
    SetDestFolder("C:\\");
    state_.DestIsRemovable = false;
    Log(Text("020033"));
    return false;
}

void Runner::SetDestFolder(const std::string& folder) {
    state_.DestFolder = folder.empty() ? "C:\\" : AddBackslash(folder);
    const std::size_t caret = state_.DestFolder.size() <= 3 ? state_.DestFolder.size() : 1;
    destinationBox_.SetText(state_.DestFolder);
    window_.SetDestinationText(state_.DestFolder, caret);
    UpdateLbExplo();
}

void Runner::ComboPathChange(const std::string& text) {
    state_.DestFolder = text.empty() ? "C:\\" : AddBackslash(text);
    destinationBox_.SetText(text);
    window_.SetDestinationText(text, text.size());
    UpdateLbExplo();
}

void Runner::CreerRepertoire() {
    if (!adminLock_.Allows('n')) {
        window_.SetDestinationTooltip(Text("022030"));
        return;
    }
    const std::string folder = window_.DestinationBox().text;
    if (Fs().FolderExists(folder) || folder.size() <= 3) return;
    const int answer = Dialogs::Current().Ask(
        {Button("sWarning"), "!", {"[ " + folder + " ]", Text("000705")}, {Button("sYes"), Button("sNo")}});
    if (answer != 1) return;
    const bool made = Fs().CreateFolderChain(folder);
    Log(DateTimeText() + Text("020006") + folder + Text(made ? "020000" : "020001"));
}

void Runner::UpdateLbExplo() {
    const std::string text =
        window_.DestinationBox().text.empty() ? state_.DestFolder : window_.DestinationBox().text;
    const std::int64_t free = Fs().FreeBytes(text.size() >= 3 ? text.substr(0, 3) : text);
    const std::string freeText =
        free < 0 ? std::string() : "( " + std::to_string((free + 524288) / 1048576) + " Mo )";
    std::string label;
    if (text.size() > 1) label = Text("000105") + text.substr(0, 3) + " " + freeText;
    if (text.size() > 4) {
        const std::string saved = Fs().CurrentFolder();
        label = Text("000100") + "(" + SizeText(static_cast<std::int64_t>(FolderSize(text, "*.*"))) + ")";
        Fs().SetCurrentFolder(saved);
    }
    window_.SetLabel(LabelId::Lb3dExplo, label);
    window_.SetTooltip(LabelId::Lb3dExplo, label);
}

Runner::RetentionPlan Runner::Retention(const std::string& folder, const std::string& baseName, int count) {
    RetentionPlan plan;
    const std::string pattern = "????" + baseName + "*";
    const std::string saved = Fs().CurrentFolder();
    if (!Fs().SetCurrentFolder(folder)) return plan;
    Log(Text("020035") + " [ " + std::to_string(count) + " , " + folder + " , " + pattern + " ] ");

    struct Found {
        std::uint32_t when;
        std::string name;
        std::string path;
    };
    std::vector<Found> found;
    std::vector<std::string> folders{AddBackslash(folder)};
    // Matching sub-folders are searched by the same rule; their files are listed with their own path.
    for (std::size_t i = 0; i < folders.size() && i < 64; ++i) {
        FileFinder finder(folders[i] + pattern, kAttrAnyFile);
        FindEntry entry;
        while (finder.Next(entry)) {
            ProcessPendingEvents();
            if (entry.attributes & kAttrDirectory) {
                folders.push_back(folders[i] + entry.name + "\\");
                continue;
            }
            found.push_back({entry.dosDateTime, entry.name, folders[i] + entry.name});
        }
    }
    Fs().SetCurrentFolder(saved);
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.when < b.when; });
    for (const auto& f : found) Log(std::to_string(f.when) + "=" + f.name);
    if (found.empty()) {
        Log(Text("020036"));
        return plan;
    }
    if (static_cast<int>(found.size()) < count) return plan;
    // Today's archive is replaced by the copy itself (written beside it, renamed over it): nothing is
    // deleted. Otherwise the oldest one goes, but only once the new archive is safely in place.
    if (Fs().FileExists(state_.DestArchive)) return plan;
    const Found& oldest = found.front();
    if (UpperCase(oldest.name).find(UpperCase(baseName)) != std::string::npos &&
        Fs().FileExists(oldest.path)) {
        plan.toDelete = oldest.path;
    }
    return plan;
}

void Runner::ApplyRetention(const RetentionPlan& plan) {
    if (plan.toDelete.empty() || SameText(Fs().FullPath(plan.toDelete), Fs().FullPath(state_.DestArchive)))
        return;
    if (Fs().DeleteFile(plan.toDelete)) {
        AddInfo(Text("000575") + plan.toDelete + Text("020000"));
        Log(Text("020034") + plan.toDelete + Text("020000"));
    } else {
        Log(Text("020034") + plan.toDelete + Text("020001"));
    }
}

void Runner::CopieSupport() {
    for (;;) {
        const std::int64_t size = static_cast<std::int64_t>(FileSizeOf(state_.StagingArchive));
        const std::int64_t free = FreeOn(state_.DestFolder);
        Log(Text("020026") + state_.DestFolder);
        if (free < size) {
            Log(Text("020010") + Text("020011"));
            const int answer = Dialogs::Current().Ask(
                {Button("sWarning"),
                 "!",
                 {Text("020825") + " [ " + FileSizeText(state_.StagingArchive) + " ] " + Text("020830"),
                  Text("020831"), Text("020832"), Text("020833"), Text("020834"), Text("020835")},
                 {Button("sRetry"), Button("sAbort"), Button("sYes"), Button("sCancel")}});
            switch (answer) {
                case 1:
                    state_.DestIsRemovable =
                        Fs().TypeOfDrive(DriveOf(state_.DestFolder)) == DriveType::Removable;
                    if (state_.DestIsRemovable) ReadVolLabel(RootOf(state_.DestFolder));
                    continue;
                case 2:
                    AddError(Text("020049"));
                    Log(Text("020044"));
                    return;
                case 3:
                    SpanFile();
                    return;
                default:
                    SetDestFolder("C:\\");
                    if (!state_.DestArchive.empty()) state_.DestArchive[0] = 'C';
                    state_.DestIsRemovable = false;
                    if (!Fs().FolderExists(state_.DestFolder)) Fs().CreateFolderChain(state_.DestFolder);
                    continue;
            }
        }
        break;
    }
    window_.SetCaption(Text("000025"));
    AddInfo(Text("000560"));
    window_.SetLabel(LabelId::LabelInfo, Text("000078"));
    Log(Text("020010") + std::to_string(FreeOn(state_.DestFolder)));
    const bool removable = Fs().TypeOfDrive(DriveOf(state_.DestFolder)) == DriveType::Removable;

    int result = 0;
    try {
        result = engine_->CopyArchiveFile(state_.StagingArchive, state_.DestArchive);
    } catch (const std::exception&) {
        result = -2;
    }
    // -4: the copy is complete and in place, only its date could not be set (some media keep none).
    if (result == 0 || result == -4) {
        const int expected = engine_->EntryCount();
        const VerifyResult check =
            VerifyArchive(state_.DestArchive, engine_->DLLDirectory(), password_, expected);
        if (!check.ok) {
            const std::string line = Text("020050") + " " + check.problem;
            AddError(line);
            AddInfo(line);
            Log(line);
            window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000042"));
        } else {
            if (removable) Fs().SetVolumeLabel(DriveOf(state_.DestFolder), state_.NewDiskLabel);
            window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000041"));
            window_.SetCaption(Text("000021"));
            std::string use;
            if (removable && state_.NewDiskLabel.find("VPK-") != std::string::npos) {
                use = FieldOf("-", state_.NewDiskLabel, 1) + Text("000094");
            }
            window_.SetTooltip(LabelId::Lb3dExplo, use);
            ApplyRetention(retention_);
        }
    } else {
        std::string text;
        switch (result) {
            case -9:
                text = Text("020032");
                break;
            case -3:
                text = Text("020013") + FileNameOf(state_.StagingArchive) + " " + Text("020001");
                break;
            case -2:
                text = Text("020014");
                break;
            case -1:
                text = Text("020015") + FileNameOf(state_.DestArchive);
                break;
            default:
                text = Text("020014") + " (" + std::to_string(result) + ")";
                break;
        }
        Log(text);
        AddError(text);
        AddInfo(text);
        window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000042"));
    }
    retention_ = {};
    if (Fs().FileExists(state_.DestArchive)) {
        Log(Text("020016") + FileNameOf(state_.DestArchive) + " [" +
            std::to_string(FileSizeOf(state_.DestArchive)) + "] " + Text("020000"));
    } else {
        Log(Text("020016") + FileNameOf(state_.DestArchive) + " [0] " + Text("020001"));
    }
}

void Runner::SpanFile() {
    if (!hooks_.splitWindow) {
        // Without the split window nothing reaches the destination: that is an error, not a backup.
        AddError(Text("020051") + " " + FileNameOf(state_.DestArchive));
        Log(Text("020051") + " " + FileNameOf(state_.DestArchive));
        return;
    }
    const std::string copy = "C:\\" + FileNameOf(state_.DestArchive);
    const int result = engine_->CopyArchiveFile(state_.StagingArchive, copy);
    if (result < 0) AddError("Erreur Span File " + std::to_string(result));
    std::string destination = state_.DestFolder;
    if (!hooks_.splitWindow(copy, destination))
        AddError(Text("020051") + " " + FileNameOf(state_.DestArchive));
    SetDestFolder(destination);
    Fs().DeleteFile(copy);
    state_.DestArchive = AddBackslash(state_.DestFolder) + FileNameOf(state_.DestArchive);
}

}  // namespace vpk
