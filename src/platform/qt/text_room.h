// Where a control shows its text and what its texts need there, and the
// narrowing of a control's font that makes its texts fit: the installed
// Japanese fonts are wider than the one the templates were drawn for, and a
// text must still be shown whole at its template's rectangle.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "qt/window_registry.h"

namespace morvek::qt {

// The rectangle (widget pixels) in which the control draws a text: a label's
// contents, a button's or check box's caption area, a group box's title, a
// drop-down list's field, a one-line edit's text area. Empty for other kinds.
QRect TextRoom(const WindowRecord& record);

// The texts the control shows in that room: its text, or every entry of a
// drop-down list. Empty for other kinds.
QStringList RoomTexts(const WindowRecord& record);

// The size `text` takes in the room, laid out as the control lays it out (a
// label wraps at blanks; a word longer than the room sticks out).
QSize TextNeeds(const WindowRecord& record, const QString& text);

// Narrows the font of a label, button, check box, group box or drop-down list
// (a horizontal stretch; the height stays) just enough that each of its texts
// fits its room, or gives it back its dialog's font when they fit as they are.
// Other kinds are left alone. Window thread.
void FitFontToTexts(WindowRecord& record);

}  // namespace morvek::qt
