// The modem lines: the four input indicators and the DTR and RTS outputs.
#include "port/port_config.h"
#include "port/port_texts.h"
#include "port/serial_driver.h"
#include "res/resource.h"
#include "ui/terminal_dlg.h"

void CTerminalDlg::UpdateModemStatus() {
  // The bound members stay empty; "ON"/"OFF" go straight into the controls.
  m_strDsr = "";
  m_strCts = "";
  m_strDcd = "";
  m_strRi = "";

  static const struct {
    int nID;
    DWORD dwBit;
  } kIndicators[] = {
      {IDC_DSR, MS_DSR_ON},
      {IDC_CTS, MS_CTS_ON},
      {IDC_DCD, MS_RLSD_ON},
      {IDC_RI, MS_RING_ON},
  };
  BOOL bPresent = TRUE;
  for (const auto& indicator : kIndicators) {
    // No port (or a port that went away): all lines read as off.
    DWORD dwStatus = 0;
    if (!GetCommModemStatus(g_hComm, &dwStatus)) {
      dwStatus = 0;
      bPresent = GetLastError() != ERROR_DEVICE_REMOVED;
    } else {
      bPresent = TRUE;
    }
    CWnd* pControl = GetDlgItem(indicator.nID);
    if (pControl != nullptr) pControl->SetWindowText((dwStatus & indicator.dwBit) != 0 ? "ON" : "OFF");
  }
  // The platform opens an unplugged port again by itself when it comes back;
  // this regular poll is where the window learns of both.
  if (g_hComm != INVALID_HANDLE_VALUE) ShowPortPresence(bPresent);
}

void CTerminalDlg::ShowPortPresence(BOOL bPresent) {
  const CString strFailed = FailedPortStatusLine(g_portConfig);
  CString strLine;
  if (!bPresent) {
    strLine = strFailed;
  } else if (m_strPortStatus == strFailed) {
    strLine = OpenPortStatusLine(g_portConfig);
  } else {
    return;
  }
  if (strLine == m_strPortStatus) return;
  m_strPortStatus = strLine;
  CWnd* pStatus = GetDlgItem(IDC_PORT_STATUS);
  if (pStatus != nullptr) pStatus->SetWindowText(strLine);
}

// Switches one output line to the other state. The state member and the check
// box follow even when the port refuses (or no port is open).
static void ToggleOutputLine(BOOL& bState, CButton& checkBox, DWORD dwSetFunc, DWORD dwClearFunc) {
  if (bState == 1) {
    EscapeCommFunction(g_hComm, dwClearFunc);
    bState = 0;
  } else if (bState == 0) {
    EscapeCommFunction(g_hComm, dwSetFunc);
    bState = 1;
  }
  checkBox.SetCheck(bState);
}

void CTerminalDlg::OnDtr() {
  ToggleOutputLine(m_bDtr, m_chkDtr, SETDTR, CLRDTR);
  UpdateModemStatus();
}

void CTerminalDlg::OnRts() {
  ToggleOutputLine(m_bRts, m_chkRts, SETRTS, CLRRTS);
  UpdateModemStatus();
}
