#pragma once
// Hints keep the two-part form of the language files and the runner ("short|long"): the short part is
// the tooltip, the long part is meant for a status line. Windows without a status line show both parts
// in the tooltip, one per line, so nothing of the text is lost; the raw text stays readable for a
// translation pass that wants the old value.
#include <QString>

class QObject;

namespace vpk::ui {

// The tooltip shown for a raw hint: "short|long" → "short\nlong"; "|long" → "long".
QString TooltipOfHint(const QString& hint);

// Sets the raw hint of a widget or an action and its tooltip; other objects are left alone.
void SetHint(QObject* object, const QString& hint);
// The raw hint last set (the tooltip when none was set through SetHint).
QString HintOf(const QObject* object);

}  // namespace vpk::ui
