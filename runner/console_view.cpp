#include "runner/console_view.h"

namespace vpk {

void ConsoleView::Print(std::FILE* stream, const std::string& line) {
    if (!stream) return;
    std::fputs(line.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void ConsoleView::OnLabel(LabelId id, const LabelElement& label) {
    // The information line and the final message are the steps a console user follows; blanks are
    // the window clearing them between steps.
    std::string* last = nullptr;
    if (id == LabelId::LabelInfo) last = &lastInfo_;
    if (id == LabelId::Lb3dFinalInfos) last = &lastFinal_;
    if (!last || label.text.find_first_not_of(' ') == std::string::npos || label.text == *last) return;
    *last = label.text;
    Print(out_, label.text);
}

void ConsoleView::OnList(ListId id, ListEdit edit, const ListElement& list) {
    if (edit != ListEdit::Appended || list.lines.empty()) return;
    const std::string& line = list.lines.back();
    switch (id) {
        case ListId::ListBox1:
            Print(err_, line);
            break;
        case ListId::ListBox2:
            Print(err_, line);
            break;
        case ListId::ListBox3:
            Print(out_, line);
            break;
    }
}

void ConsoleView::OnWindow(const WindowElement& window) {
    if (window.caption.empty() || window.caption == lastCaption_) return;
    lastCaption_ = window.caption;
    Print(out_, "[" + window.caption + "]");
}

}  // namespace vpk
