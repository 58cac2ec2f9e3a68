// The batch modes and how a query gets into the run state.
#include <filesystem>

#include "model/exclusion_value.h"
#include "model/path_routines.h"
#include "model/profile_section.h"
#include "model/query_file.h"
#include "model/query_keys.h"
#include "model/query_record.h"
#include "model/text_fields.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/profile_file.h"
#include "platform/text_codec.h"
#include "runner/file_search.h"
#include "runner/launcher.h"
#include "runner/runner.h"

namespace vpk {

namespace {

// The run state's copy of the keys shared by both query forms.
void ApplyQuery(const QueryRecord& q, RunState& s) {
    s.ArchiveBaseName = q.arch;
    s.Comment = q.note;
    s.Level = q.level;
    s.MaxArchives = q.maxfile;
    s.DestFolder = UpperCase(q.dest);
    s.SfxCaption = q.stitre;
    s.SfxDefaultDir = q.spath;
    s.SfxCommand = q.scmd;
    s.SfxOverwrite = q.sow;
    s.CBExe = q.sfx;
    s.CbSubDir = q.subdir;
    s.CbPath = q.storepath;
    s.CBPassWord = q.pass;
    s.CbUpdateZip = q.update;
    s.CBDatePrefix = q.date;
    s.CbEject = q.eject;
    s.CbQuitOS = q.qw95;
    s.CbAutoClose = q.autoclose;
    s.CbAutoRun = q.autorun;
    s.CbAskFiles = q.chglst;
    s.CbSFXMsg = q.msgsfx;
    s.edTypeboiteInt = q.iboxmsg;
    s.EdMsgSfx = q.smsg;
    s.CbSuccesMsg = q.endmsg;
    s.IconIndex = std::to_string(q.icoIndex);
    s.IconFile = q.iconame;
}

}  // namespace

void Runner::LoadSetNbSection() {
    const ProfileSection section(paths_.settingsFile, state_.QueryName);
    state_.DataFolder = section.Text("data");
    if (!state_.DataFolder.empty()) state_.DataFolder = AddBackslash(state_.DataFolder);
    state_.SourceSpec = state_.DataFolder + section.Text("filter", "*.*");
    if (state_.SourceSpec.size() <= 2) return;
    state_.ExcludeText = section.Text("exclu");
    QueryRecord q = DefaultQuery(QueryReader::Backup, {Text("000130"), {}});
    ReadSharedQueryKeys(section, QueryReader::Backup, q);
    ApplyQuery(q, state_);
}

void Runner::BuildNumberedIncludes() {
    state_.IncludeSpecs.clear();
    if (state_.CbPath) {
        state_.IncludeSpecs.push_back(state_.SourceSpec);
    } else {
        // Paths relative to the data folder: the engine adds from the current folder.
        Fs().SetCurrentFolder(state_.DataFolder);
        const std::size_t slash = state_.SourceSpec.rfind('\\');
        state_.IncludeSpecs.push_back(slash == std::string::npos ? state_.SourceSpec
                                                                 : state_.SourceSpec.substr(slash + 1));
    }
}

void Runner::BuildNumberedExcludes() {
    state_.ExcludeSpecs =
        ExclusionsForRun(ExclusionPatterns(state_.ExcludeText), state_.DataFolder, state_.CbPath);
}

void Runner::OneRequete() {
    state_.QueryName = FirstArgument();
    LoadGlobalSet();
    LoadSetNbSection();
    Log(Text("020003") + std::string(9, ' ') + DateTimeText() + Text("020029") + state_.QueryName +
        std::string(9, ' ') + Text("020003"));
    BuildNumberedIncludes();
    BuildNumberedExcludes();
    Log(Text("020004") + state_.SourceSpec);
    Log(Text("020005") + state_.ExcludeText);
    SetDestFolder(state_.DestFolder);
    if (ShowWindowAllowed()) window_.ShowWindow(true);
    GoForZip();
    InfosErreurs();
    StartCloseTimer();
}

void Runner::AllArchives() {
    LoadGlobalSet();
    Log(Text("020003") + std::string(9, ' ') + DateTimeText() + Text("020020") + std::string(9, ' ') +
        Text("020003"));
    if (ShowWindowAllowed()) window_.ShowWindow(true);
    ProcessPendingEvents();
    ShowPicture("ZipRun.gif", true);
    // Section 151 is the wizard's scratch query: never run.
    for (int number = 1; number <= 150; ++number) {
        state_.QueryName = std::to_string(number);
        const std::string data = profile::ReadString(paths_.settingsFile, state_.QueryName, "data");
        if (data.empty() || !Fs().FolderExists(data)) continue;
        LoadSetNbSection();
        BuildNumberedIncludes();
        // Each query keeps its own exclusions: one query's list never applies to the next one.
        BuildNumberedExcludes();
        GoForZip();
        if (state_.CancelRequested) break;
    }
    ShowPicture("ZipRun.gif", false);
    window_.SetLabel(LabelId::LbFileRep2Sav, Text("000004"));
    window_.SetLabel(LabelId::LbFileDest, Text("000005"));
    window_.SetLabel(LabelId::LabelInfo, Text("000070"));
    window_.SetCaption(Text("000021"));
    const bool inUse = !window_.Lines(ListId::ListBox2).empty();
    const bool errors = !window_.Lines(ListId::ListBox1).empty();
    reported_ = true;
    succeeded_ = !inUse && !errors;
    if (!succeeded_) {
        ShowPicture("ZipErr.gif", true, true);
        state_.CbAutoClose = false;
        window_.SetWindowSize(400 + 330 + 10, window_.Window().height);
        if (inUse) window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000046"));
        if (errors) window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000047"));
        window_.SetLabel(LabelId::LabelInfo, Text("000071"));
        window_.SetCaption(Text("000024"));
        window_.SetLabel(LabelId::LbFileNbProcess, "");
        window_.ShowWindow(true);
    }
    StartCloseTimer();
}

void Runner::FichierVpk() {
    LoadGlobalSet();
    queryFile_ = FirstArgument();
    if (queryFile_.find('.') == std::string::npos) queryFile_ += ".VPK";
    const std::string full = Fs().FullPath(queryFile_);
    if (!full.empty()) queryFile_ = full;
    Log(Text("020003") + " " + DateTimeText() + Text("020030") + queryFile_ + " " + Text("020003"));

    const QueryFileContent content =
        ReadVpk(queryFile_, QueryReader::Backup, paths_.settingsFile, {Text("000130"), {}});
    state_.SourceSpec = Text("000006") + AfterLast("\\", "\\" + queryFile_);
    ApplyQuery(content.query, state_);
    state_.AppExeName = content.applicationName;
    state_.AppFolder = content.applicationFolder;
    state_.RunBeforeAdd = content.runBeforeAdd;
    state_.IncludeSpecs.clear();
    state_.ExcludeSpecs.clear();
    for (const auto& v : content.includes)
        if (!v.empty()) state_.IncludeSpecs.push_back(v);
    for (const auto& v : content.excludes)
        if (!v.empty()) state_.ExcludeSpecs.push_back(v);
    if (ShowWindowAllowed()) window_.ShowWindow(true);

    if (!state_.AppExeName.empty() && !Fs().FileExists(AddBackslash(state_.AppFolder) + state_.AppExeName)) {
        FindExePatchAllDrive();
    }
    if (!state_.RunBeforeAdd.empty() && Fs().FileExists(state_.RunBeforeAdd)) {
        Launch(state_.RunBeforeAdd, ShowMode::Normal, true);
    }
    state_.IncludeSpecs = FullEntries(state_.IncludeSpecs, state_.AppFolder);
    state_.ExcludeSpecs = FullEntries(state_.ExcludeSpecs, state_.AppFolder);

    SetDestFolder(state_.DestFolder);
    GoForZip();
    InfosErreurs();
    StartCloseTimer();
}

void Runner::FindExePatchAllDrive() {
    state_.ApplicationLocated = false;
    window_.SetLabel(LabelId::LbError, Text("000110"));
    window_.SetLabel(LabelId::LabelInfo, Text("000072"));
    window_.ShowPanel(PanelId::P2, false);
    window_.ClearList(ListId::ListBox1);

    std::vector<std::string> folders;
    TFileSearch search;
    search.FileName = state_.AppExeName;
    search.OnChangeFolder = [this](const std::string& folder) {
        window_.SetLabel(LabelId::LbFileBgZipd, folder);
    };
    search.OnFileFind = [&](const std::string& path) {
        const std::string folder = DirOf(path);
        if (std::find(folders.begin(), folders.end(), folder) != folders.end()) return;
        folders.push_back(folder);
        window_.AddLine(ListId::ListBox1, folder);
    };
    const std::uint32_t drives = Fs().LogicalDrives();
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (!(drives & (1u << (letter - 'A')))) continue;
        search.Execute(std::string(1, letter) + ":\\");
    }

    std::optional<std::string> chosen;
    if (folders.empty()) {
        Dialogs::Current().Ask(
            {Button("sInformation"), "!", {Text("000601"), Text("000600")}, {Button("sOk")}});
    } else if (folders.size() == 1) {
        chosen = folders.front();
    } else {
        window_.SetLabel(LabelId::LabelInfo, Text("000073"));
        Dialogs::Current().Ask(
            {Button("sInformation"), "!", {Text("000611"), Text("000610")}, {Button("sOk")}});
        if (hooks_.chooseFolder) {
            chosen = hooks_.chooseFolder(folders);
        } else {
            for (const auto& folder : folders) {
                const int answer = Dialogs::Current().Ask({Button("sConfirm"),
                                                           "?",
                                                           {Text("000621"), Text("000620"), folder},
                                                           {Button("sOk"), Button("sCancel")}});
                if (answer == 1) {
                    chosen = folder;
                    break;
                }
            }
        }
    }
    if (chosen) {
        state_.AppFolder = *chosen;
        state_.ApplicationLocated = true;
        try {
            WriteApplicationFolder(queryFile_, state_.AppFolder);
        } catch (const std::exception& e) {
            AddError(e.what());
        }
    }
    window_.ClearList(ListId::ListBox1);
    window_.SetLabel(LabelId::LabelInfo, "");
    window_.SetLabel(LabelId::LbFileBgZipd, "");
    window_.ShowPanel(PanelId::P2, true);
}

}  // namespace vpk
