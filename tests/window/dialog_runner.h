// Running a dialog of the framework in a test: the script drives it from
// inside its modal loop, as a user would once it is up.
#pragma once

#include <functional>

#include "platform/afx.h"
#include "platform/testing.h"

namespace morvek::test {

// The templates of the program's resources (res/resource.h) the tests use.
inline constexpr UINT kAboutTemplate = 100;
inline constexpr UINT kMainTemplate = 102;
inline constexpr UINT kSettingsTemplate = 130;

// Runs `dialog` modally. Once it is up, `script` runs inside its loop; a
// dialog the script left open is then cancelled (IDCANCEL). Other dialogs
// shown meanwhile go to `others` (default: cancelled at once). Returns
// DoModal's result.
INT_PTR RunDialog(CDialog& dialog, const std::function<void(CDialog&)>& script,
                  const std::function<void(CDialog&)>& others = nullptr);

// Cancels a dialog that is up as its Cancel button would.
void Cancel(CDialog& dialog);

}  // namespace morvek::test
