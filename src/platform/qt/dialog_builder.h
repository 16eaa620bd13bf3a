// Builds a dialog's window from its template.
#pragma once

#include "afx_dialog.h"
#include "resources.h"

namespace morvek::qt {

class DialogWidget;

// Creates the dialog's window (hidden, its client area sized from the
// template, the template's caption and font), attaches `wrapper` to it, sends
// the WM_SIZE of its creation, then creates its controls in template order.
// The caller owns the widget. `owner` may be null.
DialogWidget* BuildDialog(const DialogTemplate& source, HWND owner, CDialog* wrapper);

}  // namespace morvek::qt
