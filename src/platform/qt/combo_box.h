// The drop-down list control: the CB_* messages over a non-editable QComboBox
// whose entries keep their exact CP932 bytes.
#pragma once

#include <string>
#include <string_view>

#include "qt/window_registry.h"

namespace morvek::qt {

// The control's procedure for the CB_* messages (and the window text, which is
// the selected entry). Unknown messages give 0.
LRESULT ComboBoxProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam);
// The selected entry's bytes ("" without a selection).
std::string ComboSelectionBytes(const WindowRecord& record);
// Selects the entry that equals the text exactly (the window text of a
// drop-down list); no such entry leaves the selection.
void SelectComboText(WindowRecord& record, std::string_view bytes);

}  // namespace morvek::qt
