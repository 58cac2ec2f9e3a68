#include "ui/hint_text.h"

#include <QAction>
#include <QVariant>
#include <QWidget>

namespace vpk::ui {

namespace {
constexpr const char* kRawHint = "vpkHint";
}

QString TooltipOfHint(const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    if (bar < 0) return hint;
    const QString shortPart = hint.left(bar).trimmed();
    const QString longPart = hint.mid(bar + 1).trimmed();
    if (shortPart.isEmpty()) return longPart;
    if (longPart.isEmpty()) return shortPart;
    return shortPart + "\n" + longPart;
}

void SetHint(QObject* object, const QString& hint) {
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setToolTip(TooltipOfHint(hint));
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        action->setToolTip(TooltipOfHint(hint));
    } else {
        return;
    }
    object->setProperty(kRawHint, hint);
}

QString HintOf(const QObject* object) {
    const QVariant raw = object->property(kRawHint);
    if (raw.isValid()) return raw.toString();
    if (auto* widget = qobject_cast<const QWidget*>(object)) return widget->toolTip();
    if (auto* action = qobject_cast<const QAction*>(object)) return action->toolTip();
    return {};
}

}  // namespace vpk::ui
