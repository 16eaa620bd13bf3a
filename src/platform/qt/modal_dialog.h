// Modal dialogs (CDialog::DoModal, EndDialog).
#pragma once

#include "win32_user.h"

namespace morvek::qt {

// The innermost dialog whose modal loop runs now, or null.
HWND ActiveModalDialog();

}  // namespace morvek::qt
