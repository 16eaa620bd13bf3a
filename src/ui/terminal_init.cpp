// The main dialog's start-up: selectors, the port settings dialog, the port,
// the title and status line, the modem lines, the reader thread and the timers.
#include "exchange/reader_thread.h"
#include "platform/msvcrt.h"
#include "port/port_config.h"
#include "port/port_settings_dlg.h"
#include "port/port_texts.h"
#include "port/serial_driver.h"
#include "res/resource.h"
#include "ui/selector_lists.h"
#include "ui/terminal_dlg.h"

BOOL CTerminalDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  CMenu* pSysMenu = GetSystemMenu(FALSE);
  if (pSysMenu != nullptr) {
    char szAboutMenu[256] = {0};
    LoadStringA(nullptr, IDS_ABOUTBOX, szAboutMenu, sizeof szAboutMenu);
    CString strAboutMenu(szAboutMenu);
    if (!strAboutMenu.IsEmpty()) {
      pSysMenu->AppendMenu(MF_SEPARATOR);
      pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
    }
  }

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  ClearPortConfigTexts(g_portConfig);

  FillSelector(m_cmbSendFormat, kSendFormatEntries);
  m_nSendFormat = 0;
  FillSelector(m_cmbInterval, kIntervalEntries);
  m_nInterval = 0;
  FillSelector(m_cmbDisplay, kDisplayFormatEntries);
  m_nDisplayFormat = 0;

  CPortSettingsDlg* pSettingsDlg = new CPortSettingsDlg();
  pSettingsDlg->DoModal();
  delete pSettingsDlg;

  g_bSettingsLoaded = 1;

  char szTimeout[16] = {0};
  m_strReadTimeout += msvcrt::_itoa(g_portConfig.ReadIntervalTimeout, szTimeout, 10);

  if (!OpenPort(g_portConfig.nPortIndex)) {
    AfxMessageBox(" ポートがオープンできません", MB_OK, 0);
    ClosePort();
    CDialog::OnCancel();
    return TRUE;
  }

  CString strPort;
  strPort += g_portConfig.szPort;
  m_strPortStatus = "";
  SetWindowText(WindowTitleText(g_portConfig));
  m_strPortStatus = m_strPortStatus + OpenPortStatusLine(g_portConfig);
  UpdateData(FALSE);

  // A port whose state cannot be read is reported like a refused configuration,
  // so that the program never ends without saying why.
  if (!PreparePortState()) {
    AfxMessageBox(strPort + " ポートの初期設定ができません", MB_OK, 0);
    CDialog::OnCancel();
    return TRUE;
  }
  if (!ConfigurePort()) {
    AfxMessageBox(strPort + " ポートの初期設定ができません", MB_OK, 0);
    ClosePort();
    CDialog::OnCancel();
    return TRUE;
  }

  m_bDtr = 1;
  m_chkDtr.SetCheck(1);
  EscapeCommFunction(g_hComm, SETDTR);
  m_bRts = 1;
  m_chkRts.SetCheck(1);
  EscapeCommFunction(g_hComm, SETRTS);

  UpdateModemStatus();

  g_hMainWnd = m_hWnd;
  StartReader();

  for (const WindowTimer& timer : kWindowTimers) SetTimer(timer.nID, timer.nElapse, nullptr);

  m_bSending = 0;
  return TRUE;
}
