// Keyboard and mouse input bound for a dialog or one of its controls, as
// window messages: each key press or release and each mouse button press or
// release becomes a MSG for the control it is aimed at, which the wrappers
// from that control up to its dialog see in PreTranslateMessage before the
// control does. What no PreTranslateMessage consumes gets the system's
// handling: Alt+F4 closes, Alt+Space and a right click on the dialog's
// background open the system menu, F1 asks for help (WM_HELP).
#pragma once

#include <QEvent>
#include <QObject>

namespace morvek::qt {

// Returns true when the event was consumed and must not reach its receiver.
bool TranslateInput(QObject* receiver, QEvent* event);

}  // namespace morvek::qt
