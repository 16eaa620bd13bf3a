// The port settings dialog.
#include "port/port_settings_dlg.h"

#include "platform/msvcrt.h"
#include "port/port_config.h"
#include "port/settings_file.h"
#include "port/value_lists.h"
#include "res/resource.h"

// The time-out text is converted from at most this many characters.
static constexpr int kTimeoutDigits = 15;

CPortSettingsDlg::CPortSettingsDlg(CWnd* pParent) : CDialog(IDD_PORT_SETTINGS, pParent) {}

CPortSettingsDlg::~CPortSettingsDlg() = default;

void CPortSettingsDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PORT, m_cmbPort);
  DDX_Control(pDX, IDC_STOP_BITS, m_cmbStopBits);
  DDX_Control(pDX, IDC_PARITY, m_cmbParity);
  DDX_Control(pDX, IDC_FLOW_CONTROL, m_cmbFlowControl);
  DDX_Control(pDX, IDC_BYTE_SIZE, m_cmbByteSize);
  DDX_Control(pDX, IDC_BAUD_RATE, m_cmbBaudRate);
  DDX_Text(pDX, IDC_TIMEOUT, m_strTimeout);
}

// clang-format off
BEGIN_MESSAGE_MAP(CPortSettingsDlg, CDialog)
  ON_WM_PAINT()
  ON_WM_HELPINFO()
  ON_CBN_SELCHANGE(IDC_BAUD_RATE, OnSelchangeBaudRate)
  ON_CBN_SELCHANGE(IDC_BYTE_SIZE, OnSelchangeByteSize)
  ON_CBN_SELCHANGE(IDC_PARITY, OnSelchangeParity)
  ON_CBN_SELCHANGE(IDC_STOP_BITS, OnSelchangeStopBits)
  ON_CBN_SELCHANGE(IDC_FLOW_CONTROL, OnSelchangeFlowControl)
  ON_CBN_SELCHANGE(IDC_PORT, OnSelchangePort)
END_MESSAGE_MAP()
// clang-format on

BOOL CPortSettingsDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  PortConfig fileConfig = {};
  if (g_bSettingsLoaded == 0) g_bSettingsFileRead = ReadSettingsFile(fileConfig);

  for (ListSetting setting : kListSettings) InitSettingBox(setting, fileConfig);

  // The time-out: as in memory, else as in the file, else the default 20 ms.
  if (g_bSettingsLoaded == 0) {
    g_portConfig.ReadIntervalTimeout =
        g_bSettingsFileRead == 1 ? fileConfig.ReadIntervalTimeout : DEFAULT_READ_INTERVAL_TIMEOUT;
  }
  char szTimeout[16] = {0};
  m_strTimeout = msvcrt::_itoa(g_portConfig.ReadIntervalTimeout, szTimeout, 10);

  UpdateData(FALSE);
  return TRUE;
}

void CPortSettingsDlg::InitSettingBox(ListSetting setting, const PortConfig& fileConfig) {
  CComboBox& box = SettingBox(setting);
  box.ResetContent();
  for (int nPosition = 0; nPosition < ListEntryCount(setting); ++nPosition) {
    box.InsertString(-1, ListEntryText(setting, nPosition));
  }

  // After the first showing the record in memory stands as it is.
  if (g_bSettingsLoaded == 0) {
    if (g_bSettingsFileRead == 1) {
      CopyListSetting(setting, fileConfig, g_portConfig);
    } else {
      ApplyListEntry(setting, DefaultListPosition(setting), g_portConfig);
    }
  }
  // The first entry that begins with the text, without regard to case; a text
  // no entry begins with leaves the box without a selection.
  box.SelectString(-1, ListSettingText(setting, g_portConfig));
}

void CPortSettingsDlg::OnOK() {
  UpdateData(TRUE);
  g_portConfig.ReadIntervalTimeout = msvcrt::atoi(m_strTimeout.Left(kTimeoutDigits));
  CDialog::OnOK();
}

BOOL CPortSettingsDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
    MessageBeep(0);
    return TRUE;
  }
  return CDialog::PreTranslateMessage(pMsg);
}

void CPortSettingsDlg::OnPaint() {
  CPaintDC dc(this);
}

BOOL CPortSettingsDlg::OnHelpInfo(HELPINFO* pHelpInfo) {
  return TRUE;
}

CComboBox& CPortSettingsDlg::SettingBox(ListSetting setting) {
  switch (setting) {
    case ListSetting::Port:
      return m_cmbPort;
    case ListSetting::BaudRate:
      return m_cmbBaudRate;
    case ListSetting::ByteSize:
      return m_cmbByteSize;
    case ListSetting::Parity:
      return m_cmbParity;
    case ListSetting::StopBits:
      return m_cmbStopBits;
    case ListSetting::FlowControl:
      break;
  }
  return m_cmbFlowControl;
}

void CPortSettingsDlg::TakeSelection(ListSetting setting) {
  ApplyListEntry(setting, SettingBox(setting).GetCurSel(), g_portConfig);
}

void CPortSettingsDlg::OnSelchangePort() {
  TakeSelection(ListSetting::Port);
}

void CPortSettingsDlg::OnSelchangeBaudRate() {
  TakeSelection(ListSetting::BaudRate);
}

void CPortSettingsDlg::OnSelchangeByteSize() {
  TakeSelection(ListSetting::ByteSize);
}

void CPortSettingsDlg::OnSelchangeParity() {
  TakeSelection(ListSetting::Parity);
}

void CPortSettingsDlg::OnSelchangeStopBits() {
  TakeSelection(ListSetting::StopBits);
}

void CPortSettingsDlg::OnSelchangeFlowControl() {
  TakeSelection(ListSetting::FlowControl);
}
