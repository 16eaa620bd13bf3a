// The three format selectors and the window timers: the modem-line refresh and
// the automatic repeated send.
#include "ui/selector_lists.h"
#include "ui/terminal_dlg.h"

void CTerminalDlg::OnSelchangeSendFormat() {
  m_nSendFormat = m_cmbSendFormat.GetCurSel();
}

void CTerminalDlg::OnSelchangeInterval() {
  m_nInterval = m_cmbInterval.GetCurSel();
}

// Text already in the receive box stays as it is; later blocks use the new format.
void CTerminalDlg::OnSelchangeDisplayFormat() {
  m_nDisplayFormat = m_cmbDisplay.GetCurSel();
}

// The auto-send timers run all the time; only the one of the chosen interval
// sends, and only while no send is marked running.
void CTerminalDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == TIMER_MODEM) {
    UpdateModemStatus();
  } else {
    for (const WindowTimer& timer : kWindowTimers) {
      if (timer.nID != nIDEvent || timer.nInterval == INTERVAL_NO) continue;
      if (m_nInterval == timer.nInterval && m_bSending == 0) OnSend();
    }
  }
  Default();
}
