// Switching to another port, or other line settings, while the terminal runs.
// Unlike start-up, a port that cannot be brought up does not end the program:
// the terminal carries on without a port until the operator selects again.
#include "exchange/reader_thread.h"
#include "platform/msvcrt.h"
#include "port/port_config.h"
#include "port/port_settings_dlg.h"
#include "port/port_texts.h"
#include "port/serial_driver.h"
#include "ui/selector_lists.h"
#include "ui/terminal_dlg.h"

void CTerminalDlg::OnPortSelect() {
  // The reader is joined, so that it is out of its read before the port closes.
  StopReader();
  m_bSending = 0;
  Sleep(50);

  ClosePort();

  // Keeps what the operator typed for the transfer back below.
  UpdateData(TRUE);

  // No automatic sending while and after the settings change.
  FillSelector(m_cmbInterval, kIntervalEntries);
  m_nInterval = 0;

  CPortSettingsDlg* pSettingsDlg = new CPortSettingsDlg();
  pSettingsDlg->DoModal();
  delete pSettingsDlg;

  // The boxes keep their text; it goes on in the journals of the chosen port.
  m_rcvJournal.MoveTo(g_portConfig.nPortIndex, m_strReceive);
  m_sndJournal.MoveTo(g_portConfig.nPortIndex, m_strSend);

  char szTimeout[16] = {0};
  m_strReadTimeout = msvcrt::_itoa(g_portConfig.ReadIntervalTimeout, szTimeout, 10);

  m_strPortStatus = "";
  SetWindowText(WindowTitleText(g_portConfig));

  CString strPort = PortConfigText(g_portConfig.szPort);
  BOOL bOpened = OpenPort(g_portConfig.nPortIndex);
  if (!bOpened) {
    AfxMessageBox(strPort + "　ポートがオープンできません。", MB_OK, 0);
    ClosePort();
    m_strPortStatus = FailedPortStatusLine(g_portConfig);
  } else {
    m_strPortStatus = OpenPortStatusLine(g_portConfig);
  }
  UpdateData(FALSE);

  if (PreparePortState()) {
    if (ConfigurePort()) {
      // The reopened port's outputs follow the check boxes.
      EscapeCommFunction(g_hComm, m_bDtr ? SETDTR : CLRDTR);
      EscapeCommFunction(g_hComm, m_bRts ? SETRTS : CLRRTS);
    } else {
      AfxMessageBox(strPort + " ポートの初期設定ができません", MB_OK, 0);
    }
  }
  if (bOpened && g_hComm == INVALID_HANDLE_VALUE) {
    // Opened but not brought up: the port is closed again, and the status line
    // must not claim it open.
    m_strPortStatus = FailedPortStatusLine(g_portConfig);
    UpdateData(FALSE);
  }

  g_bReaderRun = 1;
  g_hMainWnd = m_hWnd;
  StartReader();

  Sleep(50);
}
