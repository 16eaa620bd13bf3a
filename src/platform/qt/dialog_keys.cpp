// The dialog keyboard interface: Escape and Return for a dialog and its controls.
#include "afx/window_backend.h"
#include "qt/window_registry.h"

namespace morvek::qt {
namespace {

// Return stays in a multi-line edit that keeps it (a line break).
bool KeepsReturn(const WindowRecord& control) {
  return (control.kind == WindowKind::TextEdit || control.kind == WindowKind::TextView) &&
         (control.style & ES_WANTRETURN);
}

void SendCommand(HWND dialog, int id, HWND control) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// Return: the focused push button is pressed; elsewhere the dialog's IDOK
// button, when the dialog has one.
BOOL PressDefaultButton(HWND dialog, HWND target) {
  if (WindowRecord* control = target != dialog ? FindWindowRecord(target) : nullptr) {
    if (KeepsReturn(*control)) return FALSE;
    if (control->kind == WindowKind::PushButton) {
      if (IsWindowEnabled(target)) SendCommand(dialog, control->id, target);
      return TRUE;
    }
  }
  HWND ok = GetDlgItem(dialog, IDOK);
  if (!ok) return FALSE;
  if (IsWindowEnabled(ok)) {
    SendCommand(dialog, IDOK, ok);
  } else {
    MessageBeep(MB_OK);
  }
  return TRUE;
}

}  // namespace
}  // namespace morvek::qt

namespace morvek::framework {

BOOL IsDialogMessage(HWND hDlg, const MSG* pMsg) {
  using namespace morvek::qt;
  if (!pMsg || pMsg->message != WM_KEYDOWN || !FindWindowRecord(hDlg)) return FALSE;
  if (pMsg->hwnd != hDlg && DialogOf(pMsg->hwnd) != hDlg) return FALSE;
  switch (pMsg->wParam) {
    case VK_ESCAPE: SendCommand(hDlg, IDCANCEL, GetDlgItem(hDlg, IDCANCEL)); return TRUE;
    case VK_RETURN: return PressDefaultButton(hDlg, pMsg->hwnd);
    default: return FALSE;
  }
}

}  // namespace morvek::framework
