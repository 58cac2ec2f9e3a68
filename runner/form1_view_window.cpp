// TForm1 as the view of the runner's window model: each element written by the runner goes into its
// control.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMovie>
#include <QPlainTextEdit>
#include <QStringList>
#include <algorithm>

#include "platform/file_system.h"
#include "runner/form1_window.h"
#include "ui/elided_label.h"
#include "ui/hint_text.h"
#include "ui/history_combo.h"
#include "ui/path_label.h"
#include "ui/zip_progress_bar.h"

namespace vpk {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

void TForm1::OnLabel(LabelId id, const LabelElement& label) {
    QLabel* control = nullptr;
    switch (id) {
        case LabelId::Lb3dRep:
            control = lb3dRep_;
            break;
        case LabelId::LbFileRep2Sav:
            control = lbFileRep2Sav_;
            break;
        case LabelId::LbFileDest:
            control = lbFileDest_;
            break;
        case LabelId::Lb3dExplo:
            control = lb3dExplo_;
            break;
        case LabelId::LbFileBgZipd:
            control = lbFileBgZipd_;
            break;
        case LabelId::Lb3dFinalInfos:
            control = lb3dFinalInfos_;
            break;
        case LabelId::LbFileNbProcess:
            control = lbFileNbProcess_;
            break;
        case LabelId::LabelInfo:
            control = labelInfo_;
            break;
        case LabelId::LbError:
            control = lbError_;
            break;
        case LabelId::LbFileInUse:
            control = lbFileInUse_;
            break;
    }
    if (!control) return;
    // Labels with a fixed caption keep the language file's text; the runner sets their tooltip and
    // whether they show.
    const bool fixedCaption = id == LabelId::Lb3dRep || id == LabelId::LbError || id == LabelId::LbFileInUse;
    if (!fixedCaption) {
        if (auto* path = qobject_cast<ui::PathLabel*>(control))
            path->SetPath(Q(label.text));
        else if (auto* elided = qobject_cast<ui::ElidedLabel*>(control))
            elided->SetFullText(Q(label.text));
        else
            control->setText(Q(label.text));
    }
    if (!label.tooltip.empty()) ui::SetHint(control, Q(label.tooltip));
    control->setVisible(label.visible);
}

void TForm1::OnList(ListId id, ListEdit edit, const ListElement& list) {
    QListWidget* control = id == ListId::ListBox1   ? listBox1_
                           : id == ListId::ListBox2 ? listBox2_
                                                    : listBox3_;
    if (edit == ListEdit::Appended && !list.lines.empty() &&
        control->count() + 1 == static_cast<int>(list.lines.size())) {
        control->addItem(Q(list.lines.back()));
    } else {
        control->clear();
        for (const auto& line : list.lines) control->addItem(Q(line));
    }
    control->scrollToBottom();
    control->setToolTip(Q(list.tooltip));
    control->setVisible(list.visible);
}

void TForm1::OnProgress(const ProgressElement& progress) {
    progressBar1_->setRange(0, progress.maximum);
    progressBar1_->setValue(std::clamp(progress.position, 0, progress.maximum));
    progressBar1_->setVisible(progress.visible);
}

void TForm1::ShowPicture(QLabel* image, const PictureElement& picture) {
    std::string host = picture.file;
    if (auto mapped = FileSystem::Instance().ToHost(picture.file)) host = *mapped;
    const QString file = Q(host);
    if (image == image1_) {
        // The animation keeps running while the engine works, since the engine pumps the events.
        if (movie1_) {
            movie1_->stop();
            movie1_->deleteLater();
            movie1_ = nullptr;
        }
        image->clear();
        if (!picture.file.empty()) {
            movie1_ = new QMovie(file, QByteArray(), image);
            if (movie1_->isValid()) {
                image->setMovie(movie1_);
                if (picture.animated)
                    movie1_->start();
                else
                    movie1_->jumpToFrame(0);
            }
        }
    } else if (!picture.file.empty()) {
        QPixmap pixmap(file);
        // An icon file that holds no picture we can read keeps the previous picture.
        if (!pixmap.isNull())
            image->setPixmap(pixmap.scaled(image->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    // The logo and the memo share their place: the logo shows only while the memo is hidden.
    if (image == image3_)
        image->setVisible(picture.visible && !plNotice_->isVisible());
    else if (image != image2_)
        image->setVisible(picture.visible);
}

void TForm1::OnPicture(PictureId id, const PictureElement& picture) {
    ShowPicture(id == PictureId::Image1 ? image1_ : id == PictureId::Image2 ? image2_ : image3_, picture);
}

void TForm1::OnPanel(PanelId id, const PanelElement& panel) {
    (id == PanelId::VisuZippage ? static_cast<QWidget*>(visuZippage_) : p2_)->setVisible(panel.visible);
}

void TForm1::OnDestinationBox(const DestinationBoxElement& box) {
    HistoryList history;
    history.SetEntries(box.entries);
    history.SetText(box.text);
    history.SetCaret(box.caret);
    if (comboPath_->currentText().toStdString() != box.text ||
        comboPath_->count() != static_cast<int>(box.entries.size()))
        comboPath_->SetHistory(history);
    comboPath_->setToolTip(Q(box.tooltip));
}

void TForm1::OnWindow(const WindowElement& window) {
    setWindowTitle(Q(window.caption));
    int width = window.width;
    // The error report hides the right-hand panel and widens the window to show the whole error list.
    if (!p2_->isVisible() && !listBox1_->isHidden())
        width = std::max(width, listBox1_->x() + listBox1_->width() + 10);
    const int height = std::max(window.height, mainMnu_->isVisible() ? kHeightWithMenu : kHeight);
    client_->resize(std::max(width, client_->width()), kHeight);
    setFixedSize(width, height);
    if (window.shown && !isVisible()) {
        show();
        raise();
        activateWindow();
    } else if (!window.shown && isVisible()) {
        hide();
    }
}

void TForm1::OnLog(ListEdit edit, const std::vector<std::string>& lines) {
    if (edit == ListEdit::Appended && !lines.empty() &&
        memolog_->blockCount() <= static_cast<int>(lines.size()))
        memolog_->appendPlainText(Q(lines.back()));
    else {
        QStringList all;
        for (const auto& line : lines) all << Q(line);
        memolog_->setPlainText(all.join('\n'));
    }
}

}  // namespace vpk
