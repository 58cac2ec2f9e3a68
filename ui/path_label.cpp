#include "ui/path_label.h"

#include <QFontMetrics>
#include <QStringList>

namespace vpk::ui {

QString ShortenPath(const QString& path, const std::function<bool(const QString&)>& fits) {
    if (fits(path)) return path;
    QStringList parts = path.split('\\');
    if (parts.size() <= 2) {
        QString cut = path;
        while (!cut.isEmpty() && !fits(cut + "...")) cut.chop(1);
        return cut + "...";
    }
    const QString head = parts.front();  // "C:" or "" for "\\server"
    const QString name = parts.back();
    // Drop components after the head one by one, keeping as many of the last ones as fit.
    for (int keep = parts.size() - 2; keep >= 1; --keep) {
        QStringList tail = parts.mid(parts.size() - keep);
        const QString candidate = head + "\\...\\" + tail.join('\\');
        if (fits(candidate)) return candidate;
    }
    if (fits("...\\" + name)) return "...\\" + name;
    QString cut = name;
    while (!cut.isEmpty() && !fits(cut + "...")) cut.chop(1);
    return cut + "...";
}

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {}

void PathLabel::SetPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    Refit();
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Refit();
}

void PathLabel::Refit() {
    const QFontMetrics metrics(font());
    const int room = contentsRect().width();
    setText(ShortenPath(path_, [&](const QString& s) { return metrics.horizontalAdvance(s) <= room; }));
}

}  // namespace vpk::ui
