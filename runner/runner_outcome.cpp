// Outcome reports: the engine's messages, the success and the error report.
#include "engine/library_interface.h"
#include "engine/zip_messages.h"
#include "model/disk_routines.h"
#include "model/system_routines.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "runner/runner.h"

namespace vpk {

namespace {

// Engine messages raised without a library code that still mean the archive was not built.
bool IsEngineFailure(int messageId) {
    switch (messageId) {
        case zipmsg::kStructureWarning:
        case zipmsg::kGarbageWarning:
        case zipmsg::kZipLoaded:
        case zipmsg::kUnzLoaded:
        case zipmsg::kUnattendedExtract:
            return false;
        default:
            return messageId >= zipmsg::kLibraryAbortZip;
    }
}

}  // namespace

void Runner::AddError(std::string line) {
    window_.AddLine(ListId::ListBox1, std::move(line));
}

void Runner::AddInfo(std::string line) {
    window_.AddLine(ListId::ListBox3, std::move(line));
}

void Runner::ZipEngine1Message(int errCode, const std::string& message) {
    if (errCode == 0) {
        // The engine's own failures (library missing, archive not written …) carry no library code;
        // left out they would let an old staging archive pass for today's backup.
        const int id = engine_->ErrorCode();
        if (!IsEngineFailure(id)) {
            state_.LastEngineCode = 0;
            return;
        }
        state_.LastEngineCode = id;
        AddInfo(Text("000555") + state_.SourceSpec);
        AddError(std::to_string(id) + " " + message);
        return;
    }
    state_.LastEngineCode = errCode;
    // An update that finds nothing new leaves the staging archive as it was, which is what was asked.
    if ((errCode & 255) == kLibErrNothingToDo && engine_->AddOptions().Has(AddOptsEnum::AddUpdate) &&
        Fs().FileExists(state_.StagingArchive)) {
        state_.LastEngineCode = 0;
        AddInfo(message);
        return;
    }
    AddInfo(Text("000555") + state_.SourceSpec);
    if (errCode == 767) {
        const std::string line = (message.size() > 15 ? message.substr(15) : std::string()) + Text("000715");
        AddError(line);
        Log(line);
    } else if (errCode == 852237) {
        AddError(Text("000720"));
        Log(Text("000720"));
    } else {
        AddError(std::to_string(errCode) + " " + message);
    }
}

void Runner::InfosErreurs() {
    window_.SetLabel(LabelId::LbFileNbProcess, "");
    window_.SetLabel(LabelId::LabelInfo, "");
    if (window_.Lines(ListId::ListBox1).empty() && window_.Lines(ListId::ListBox2).empty()) {
        InfosPASErreurs();
    } else {
        InfosDES_Erreurs();
    }
}

namespace {

bool OnFloppy(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           (std::toupper(path[0]) == 'A' || std::toupper(path[0]) == 'B');
}

}  // namespace

void Runner::InfosPASErreurs() {
    reported_ = true;
    succeeded_ = true;
    window_.SetLabel(LabelId::LabelInfo, Text("000070"));
    window_.SetCaption(Text("000027"));
    window_.SetLabel(
        LabelId::LbFileDest,
        state_.DestArchive + "  [ " +
            FileSizeText(OnFloppy(state_.DestArchive) ? state_.StagingArchive : state_.DestArchive) + " ]");
    if (state_.DestIsRemovable) {
        window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000045"));
        AddInfo(Text("000045"));
    }
    UpdateLbExplo();
    if (sounds_) hooks_.playSound("sonar.wav");
    if (state_.LastEngineCode == 0) AddInfo(state_.SourceSpec + Text("000531"));
    AddInfo(std::string(122, '-'));
    Log(Text("020007") + state_.RunSummary);
    Log(Text("020017"));
}

void Runner::InfosDES_Erreurs() {
    reported_ = true;
    succeeded_ = false;
    window_.SetCaption(Text("000028"));
    if (sounds_) hooks_.playSound("error.wav");
    window_.SetLabel(
        LabelId::LbFileDest,
        state_.DestArchive + "  [ " +
            FileSizeText(OnFloppy(state_.DestArchive) ? state_.StagingArchive : state_.DestArchive) + " ]");
    ShowPicture("ZipErr.gif", true, true);
    state_.CbAutoClose = false;
    window_.ShowPanel(PanelId::P2, false);
    window_.SetWindowSize(400, window_.Window().height);
    window_.ShowWindow(true);
    if (!window_.Lines(ListId::ListBox2).empty()) window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000046"));
    if (!window_.Lines(ListId::ListBox1).empty()) window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000043"));
    if (state_.LastEngineCode == 852237 || !window_.Lines(ListId::ListBox1).empty()) {
        window_.SetLabel(LabelId::LbFileDest, Text("000003"));
        window_.SetLabel(LabelId::Lb3dFinalInfos, Text("000044"));
    }
    UpdateLbExplo();
    Log(MemoryStatusText());
    Log(Text("020018"));
    if (state_.CancelRequested) Log(Text("020019"));
}

void Runner::ListBox1Click(int index) {
    const auto& lines = window_.Lines(ListId::ListBox1);
    if (index < 0 || index >= static_cast<int>(lines.size())) return;
    Dialogs::Current().Ask(
        {Button("sInformation"), "!", {"", lines[static_cast<std::size_t>(index)]}, {Button("sOk")}});
}

void Runner::ListBox2Click(int index) {
    const auto& lines = window_.Lines(ListId::ListBox2);
    if (index < 0 || index >= static_cast<int>(lines.size())) return;
    window_.SetListTooltip(ListId::ListBox2, lines[static_cast<std::size_t>(index)]);
}

void Runner::ShowPicture(const std::string& name, bool animate, bool whateverSetting) {
    const std::string file = paths_.programFolder + name;
    if ((!pictures_ && !whateverSetting) || !Fs().FileExists(file)) return;
    window_.SetPicture(PictureId::Image1, {file, 0, animate, true});
}

}  // namespace vpk
