#include "ui/elided_label.h"

#include <QFontMetrics>

namespace vpk::ui {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {}

void ElidedLabel::SetFullText(const QString& text) {
    full_ = text;
    Refit();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Refit();
}

void ElidedLabel::Refit() {
    const int room = contentsRect().width() - 2 * margin() - 2;
    setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, std::max(room, 0)));
}

}  // namespace vpk::ui
