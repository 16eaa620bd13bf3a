#include "terminal_session.h"

#include "exchange/reader_thread.h"
#include "port/port_config.h"
#include "res/resource.h"

namespace morvek::test {

// The framework wants one application object; end-to-end tests use a plain one.
static CWinApp g_testApp;

INT_PTR TerminalSession::Run() {
  // Each session is one run of the program: it starts from the globals as a
  // freshly loaded program has them (an earlier session's close cleared the
  // reader's run flag and left its settings behind).
  g_portConfig = PortConfig{};
  g_bSettingsLoaded = 0;
  g_bSettingsFileRead = 0;
  g_bReaderRun = 1;
  CTerminalDlg dialog;
  testing::OnModalDialog([this, &dialog](CDialog& shown) {
    if (shown.GetTemplateId() == IDD_PORT_SETTINGS) {
      ++settingsShown;
      if (settings) {
        settings(shown);
      } else {
        shown.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
      return;
    }
    if (&shown != &dialog) return;
    mainShown = true;
    if (script) script(dialog);
    if (IsWindow(dialog.m_hWnd)) dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  INT_PTR result = dialog.DoModal();
  testing::OnModalDialog(nullptr);
  return result;
}

std::string ControlText(CWnd& dialog, int id) {
  CWnd* control = dialog.GetDlgItem(id);
  if (!control) return {};
  CString text;
  control->GetWindowText(text);
  return std::string(text.View());
}

void PressButton(CWnd& dialog, int id) {
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dialog.GetDlgItem(id)->m_hWnd));
}

}  // namespace morvek::test
