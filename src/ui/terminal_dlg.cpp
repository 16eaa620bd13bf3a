// The main dialog's construction, data exchange and message map.
#include "ui/terminal_dlg.h"

#include "res/resource.h"

CTerminalDlg::CTerminalDlg(CWnd* pParent) : CDialog(IDD_TERMINAL_DIALOG, pParent) {
  m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CTerminalDlg::~CTerminalDlg() = default;

void CTerminalDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_FILE_SELECT, m_btnFile);
  DDX_Control(pDX, IDC_SEND, m_btnSend);
  DDX_Control(pDX, IDC_INTERVAL, m_cmbInterval);
  DDX_Control(pDX, IDC_RTS, m_chkRts);
  DDX_Control(pDX, IDC_DTR, m_chkDtr);
  DDX_Control(pDX, IDC_DISPLAY_FORMAT, m_cmbDisplay);
  DDX_Control(pDX, IDC_SEND_FORMAT, m_cmbSendFormat);
  DDX_Text(pDX, IDC_SEND_BOX, m_strSend);
  DDX_Text(pDX, IDC_PORT_STATUS, m_strPortStatus);
  DDX_Text(pDX, IDC_DSR, m_strDsr);
  DDX_Text(pDX, IDC_CTS, m_strCts);
  DDX_Text(pDX, IDC_DCD, m_strDcd);
  DDX_Text(pDX, IDC_RI, m_strRi);
  DDX_Text(pDX, IDC_RECEIVE_BOX, m_strReceive);
  DDX_Text(pDX, IDC_READ_TIMEOUT, m_strReadTimeout);
  DDX_Text(pDX, IDC_SEND_COUNT, m_strSendCount);
  DDX_Text(pDX, IDC_RECV_COUNT, m_strRecvCount);
  DDX_Text(pDX, IDC_FILE_NAME, m_strFileName);
}

// clang-format off
BEGIN_MESSAGE_MAP(CTerminalDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(IDC_SEND, OnSend)
  ON_BN_CLICKED(IDC_CLEAR_RECEIVE, OnClearReceive)
  ON_BN_CLICKED(IDC_CLEAR_SEND, OnClearSend)
  ON_WM_HELPINFO()
  ON_CBN_SELCHANGE(IDC_SEND_FORMAT, OnSelchangeSendFormat)
  ON_CBN_SELCHANGE(IDC_DISPLAY_FORMAT, OnSelchangeDisplayFormat)
  ON_BN_CLICKED(IDC_DTR, OnDtr)
  ON_BN_CLICKED(IDC_RTS, OnRts)
  ON_WM_TIMER()
  ON_CBN_SELCHANGE(IDC_INTERVAL, OnSelchangeInterval)
  ON_BN_CLICKED(IDC_FILE_SELECT, OnFileSelect)
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_PORT_SELECT, OnPortSelect)
  ON_WM_ENDSESSION()
END_MESSAGE_MAP()
// clang-format on
