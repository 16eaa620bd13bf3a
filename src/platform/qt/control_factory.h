// Controls of a dialog template as Qt widgets, registered as windows whose
// user actions reach the dialog as WM_COMMAND notifications.
#pragma once

#include "qt/dialog_font.h"
#include "resources.h"
#include "win32_user.h"

class QWidget;

namespace morvek::qt {

// Creates the control inside the dialog's widget, at its place in pixels.
// Returns its window, or null for a class the framework does not know.
HWND CreateControl(HWND dialog, QWidget* dialogWidget, const DialogControlTemplate& source, const DialogUnits& units);

// Sends a control's notification to its dialog (WM_COMMAND with the code in
// the high word of wParam and the control's id in the low word).
void NotifyParent(HWND control, WORD code);

}  // namespace morvek::qt
