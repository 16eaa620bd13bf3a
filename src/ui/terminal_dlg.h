// The main dialog: every window-side state of the terminal and all its handlers.
// The handlers are defined in the files of the folders that own their work:
// ui/ (data exchange, message map, initialisation, window shell, shutdown),
// port/ (driver operations, port selection), exchange/ (receive, send, timers,
// file load, modem lines) and logs/ (clearing the boxes).
#pragma once

#include "logs/box_journal.h"
#include "platform/afx.h"

// The main dialog's window timers: the modem-line refresh, the four auto-send
// intervals and the boxes' journals.
enum : UINT_PTR {
  TIMER_MODEM = 1,
  TIMER_AUTOSEND_100MS = 2,
  TIMER_AUTOSEND_500MS = 3,
  TIMER_AUTOSEND_1S = 4,
  TIMER_AUTOSEND_10S = 5,
  TIMER_JOURNALS = 6,
};

class CTerminalDlg : public CDialog {
 public:
  explicit CTerminalDlg(CWnd* pParent = nullptr);
  ~CTerminalDlg() override;

  // Serial port driver (port/serial_driver.cpp). Window thread only.
  BOOL OpenPort(int nPortIndex);
  void ClosePort();
  BOOL PreparePortState();
  BOOL ConfigurePort();
  BOOL WritePort(const void* pData, DWORD nLength);

  // Modem lines (exchange/modem_lines.cpp).
  void UpdateModemStatus();

  // Receive display (exchange/receive_display.cpp).
  void OnRxData(const void* pBlock, int nLen);
  void OnRxError();

  // Send path (exchange/send_path.cpp).
  void OnSend();
  void HexTextToBytes(const char* pDigits);

  // Log files (logs/log_files.cpp).
  void MakeTimeStamp(char* pszStamp);
  void MakeTimeStampOf(const SYSTEMTIME& utc, char* pszStamp);
  void RecoverJournals();
  void ShiftSystemTime(WORD nHours, const SYSTEMTIME& in, SYSTEMTIME& out);
  WORD DaysInFebruary(WORD wYear);
  BOOL EnsureDirectory(LPCSTR pszPath);
  BOOL AppendToLogFile(const CString& strPath, const CString& strText);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;
  // The session ends without the operator's choice (ui/shutdown.cpp): the close
  // sequence runs to its end even when a backup cannot be written, and that
  // box's journal then stays for the next start.
  void OnEndSession(BOOL bEnding);

  // Message-map handlers.
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnClearReceive();
  void OnClearSend();
  BOOL OnHelpInfo(HELPINFO* pHelpInfo);
  void OnSelchangeSendFormat();
  void OnSelchangeDisplayFormat();
  void OnDtr();
  void OnRts();
  void OnTimer(UINT_PTR nIDEvent);
  void OnSelchangeInterval();
  void OnFileSelect();
  void OnSize(UINT nType, int cx, int cy);
  void OnPortSelect();

 public:
  // Members, in declaration order.
  CButton m_btnFile;
  CButton m_btnSend;
  CComboBox m_cmbInterval;
  CButton m_chkRts;
  CButton m_chkDtr;
  CComboBox m_cmbDisplay;
  CComboBox m_cmbSendFormat;
  CString m_strSend;
  CString m_strPortStatus;
  CString m_strDsr;
  CString m_strCts;
  CString m_strDcd;
  CString m_strRi;
  CString m_strReceive;
  CString m_strReadTimeout;
  CString m_strSendCount;
  CString m_strRecvCount;
  CString m_strFileName;
  HICON m_hIcon;
  char m_sendBuf[4096];
  int m_nSendLen;
  int m_nSendFormat;
  int m_nInterval;
  BOOL m_bSending;
  int m_nDisplayFormat;
  BOOL m_bDtr;
  BOOL m_bRts;
  DCB m_dcb;
  COMMTIMEOUTS m_timeouts;

 protected:
  // Starts the reader thread on g_hComm and remembers it so that StopReader can
  // join it (exchange/reader_thread.cpp).
  void StartReader();
  // Clears the run flag, cancels a read in progress and waits until the reader
  // has ended; blocks it posted and not yet handled stay queued.
  void StopReader();
  // Frees the received blocks still queued for this window (at shutdown, once the
  // reader has ended).
  void DiscardQueuedBlocks();
  CWinThread* m_pReader = nullptr;

  // The second half of closing, once the backups are done: the settings file,
  // the timers, the reader, the port and the journals' sync; then the dialog ends.
  void EndTerminal();
  // The boxes' journals (logs/box_journal.h). Once a second (TIMER_JOURNALS)
  // the send box's journal takes what was typed, and a journal that a failed
  // write left behind its box is written afresh.
  CBoxJournal m_rcvJournal{JournalKind::Receive};
  CBoxJournal m_sndJournal{JournalKind::Send};
  void FollowBoxes();

  DECLARE_MESSAGE_MAP()
};
