// The main dialog: every window-side state of the terminal and all its handlers.
// The handlers are defined in the files of the folders that own their work:
// ui/ (data exchange, message map, initialisation, window shell, shutdown),
// port/ (driver operations, port selection), exchange/ (reader, receive, send,
// timers, file load, modem lines) and logs/ (time stamps, log files, clearing
// the boxes).
#pragma once

#include "platform/afx.h"

class CTerminalDlg : public CDialog {
  // The members are declared in groups, one per file that defines them. Each
  // member's contract stands here, once; the area headers point here.
 public:
  // ui/terminal_dlg.cpp: construction, data exchange and the message map.
  explicit CTerminalDlg(CWnd* pParent = nullptr);
  ~CTerminalDlg() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  // ui/terminal_init.cpp: reads the settings file, runs the port settings
  // dialog, opens and configures the port, fills the controls, starts the
  // reader and the timers.
  BOOL OnInitDialog() override;

  // ui/window_shell.cpp: Escape never closes the terminal; layout on resize;
  // the icon while minimised; the About entry; F1 does nothing.
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  BOOL OnHelpInfo(HELPINFO* pHelpInfo);
  void OnSize(UINT nType, int cx, int cy);

  // ui/shutdown.cpp: both boxes to backup logs, the settings file, then the
  // timers, the reader and the port. A backup that cannot be written keeps the
  // window open with everything running.
  void OnCancel() override;

 public:
  // port/serial_driver.cpp: the open port's handle is g_hComm
  // (port/serial_driver.h). The driver shows no messages; callers decide what
  // the operator sees. Window thread only.
  //  - OpenPort(n): opens "COM<n+1>" exclusively for synchronous reading and
  //    writing into g_hComm; an index outside 0..15 opens nothing. TRUE when open.
  //  - ClosePort(): closes g_hComm when open; g_hComm is then INVALID_HANDLE_VALUE.
  //  - PreparePortState(): reads the port's state into m_dcb and lays
  //    g_portConfig over it; fills m_timeouts. On failure closes the port.
  //  - ConfigurePort(): applies m_dcb and m_timeouts. FALSE without a port
  //    (nothing is closed); on a refusal closes the port.
  //  - WritePort(p, n): writes the bytes, TRUE when all were handed over. A write
  //    held by flow control fails after its time-out instead of waiting forever.
  BOOL OpenPort(int nPortIndex);
  void ClosePort();
  BOOL PreparePortState();
  BOOL ConfigurePort();
  BOOL WritePort(const void* pData, DWORD nLength);

 protected:
  // port/port_select.cpp: the port settings dialog while the terminal runs; a
  // port that cannot be brought up leaves the terminal running without one.
  void OnPortSelect();

 protected:
  // exchange/reader_thread.cpp: the window's side of the reader thread
  // (exchange/reader_thread.h). WindowProc takes the reader's messages to
  // OnRxData and OnRxError.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Starts the reader thread on g_hComm and remembers it so that StopReader can
  // join it.
  void StartReader();
  // Clears the run flag, cancels a read in progress and waits until the reader
  // has ended; blocks it posted and not yet handled stay queued.
  void StopReader();
  // Frees the received blocks still queued for this window (at shutdown, once the
  // reader has ended).
  void DiscardQueuedBlocks();

 public:
  // exchange/receive_display.cpp: OnRxData appends a received block of nLen
  // bytes (1..4095; the block is freed here) to the receive box in the chosen
  // display format and updates the count; OnRxError shows "エラー".
  void OnRxData(const void* pBlock, int nLen);
  void OnRxError();

  // exchange/send_path.cpp: sends the send box in the chosen send format, in
  // pieces of 4094 characters; a failure shows its message and keeps
  // m_bSending set, which pauses auto-send.
  void OnSend();

  // exchange/hex_text.cpp: decodes the hexadecimal digit pairs of the piece in
  // pDigits into m_sendBuf (checked by CheckHexText first).
  void HexTextToBytes(const char* pDigits);

  // exchange/modem_lines.cpp: shows DCD, DSR, CTS and RI as "ON"/"OFF" (all
  // "OFF" when the status cannot be read).
  void UpdateModemStatus();
  // Keeps the port status line true while the open port's device is away and
  // after it is back: the failed-port line while `bPresent` is FALSE, then the
  // settings line again. Leaves any other status line alone.
  void ShowPortPresence(BOOL bPresent);

 protected:
  // DTR and RTS switch to the other state; the state member and the check box
  // follow even when the port refuses.
  void OnDtr();
  void OnRts();

  // exchange/selectors_and_timer.cpp: the three selectors keep their position
  // in m_nSendFormat, m_nInterval and m_nDisplayFormat (ui/selector_lists.h);
  // OnTimer refreshes the modem lines and sends at the chosen interval.
  void OnSelchangeSendFormat();
  void OnSelchangeDisplayFormat();
  void OnSelchangeInterval();
  void OnTimer(UINT_PTR nIDEvent);

  // exchange/file_load.cpp: loads a chosen text file into the send box, with
  // every line ending as CR LF.
  void OnFileSelect();

 public:
  // logs/time_stamp.cpp, all on the window's thread:
  //  - MakeTimeStamp(psz): appends the stamp of the current minute (UTC+9) to
  //    the text in psz, a zero-filled LOG_STAMP_SIZE buffer; it never writes
  //    beyond that size.
  //  - ShiftSystemTime(h, in, out): out = in advanced by h hours, carrying into
  //    day, month and year; out's day of week and milliseconds are not set.
  //  - DaysInFebruary(year): 29 in a Gregorian leap year, else 28.
  void MakeTimeStamp(char* pszStamp);
  void ShiftSystemTime(WORD nHours, const SYSTEMTIME& in, SYSTEMTIME& out);
  WORD DaysInFebruary(WORD wYear);

  // logs/log_files.cpp (logs/log_files.h names the logs):
  //  - EnsureDirectory(path): TRUE when the folder exists or was created.
  //  - AppendToLogFile(path, text): appends the text's bytes as they are. FALSE
  //    after showing "ログファイルがオープンできません" when the file cannot be
  //    opened, or "ログファイルに書き込めません" when the bytes could not all be
  //    written and flushed; the file is then cut back to its length before the
  //    append, so an existing log keeps its old bytes exactly.
  BOOL EnsureDirectory(LPCSTR pszPath);
  BOOL AppendToLogFile(const CString& strPath, const CString& strText);

 protected:
  // logs/clear_boxes.cpp: append the box to its log, then empty it; a log that
  // cannot be written keeps the box as it is.
  void OnClearReceive();
  void OnClearSend();

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
  // The reader thread while it runs (exchange/reader_thread.cpp).
  CWinThread* m_pReader = nullptr;

  DECLARE_MESSAGE_MAP()
};
