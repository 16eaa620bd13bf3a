#include "dialog_runner.h"

namespace morvek::test {

void Cancel(CDialog& dialog) {
  if (IsWindow(dialog.m_hWnd)) dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

INT_PTR RunDialog(CDialog& dialog, const std::function<void(CDialog&)>& script,
                  const std::function<void(CDialog&)>& others) {
  testing::OnModalDialog([&](CDialog& shown) {
    if (&shown != &dialog) {
      if (others) {
        others(shown);
      } else {
        Cancel(shown);
      }
      return;
    }
    if (script) script(dialog);
    Cancel(dialog);
  });
  INT_PTR result = dialog.DoModal();
  testing::OnModalDialog(nullptr);
  return result;
}

}  // namespace morvek::test
