// The interactive start: the main window shows and waits for the user's commands.
#include "platform/dialogs.h"
#include "runner/runner.h"

namespace vpk {

void Runner::AucunParametre() {
    state_.CloseTimerOn = false;
    LoadGlobalSet();
    Log(Text("020003") + std::string(9, ' ') + DateTimeText() + Text("020022") + std::string(9, ' ') +
        Text("020003"));

    if (adminLock_.PasswordSet()) {
        std::string typed;
        if (Dialogs::Current().AskText(Text("000020"), Text("022020"), true, typed) &&
            adminLock_.Check(typed)) {
            Dialogs::Current().Ask({Button("sInformation"), "!", {"", Text("022035")}, {Button("sOk")}});
        }
    }

    AddInfo(Text("000500"));
    AddInfo(Text("000501"));
    window_.ShowList(ListId::ListBox1, false);
    window_.ShowList(ListId::ListBox2, false);
    window_.ShowLabel(LabelId::LbError, false);
    window_.ShowLabel(LabelId::LbFileInUse, false);
    window_.ShowPanel(PanelId::VisuZippage, false);
    window_.ShowList(ListId::ListBox3, true);
    window_.SetPicture(PictureId::Image3, {paths_.programFolder + "logo.png", 0, false, true});
    window_.SetLabel(LabelId::LbFileRep2Sav, Text("000001"));
    window_.SetLabel(LabelId::LbFileDest, Text("000002"));
    window_.ShowWindow(true);
}

}  // namespace vpk
