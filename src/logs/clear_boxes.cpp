// The two clear buttons: a box's text goes to its log before the box and its
// journal are emptied.
#include <cstring>

#include "logs/log_files.h"
#include "port/port_config.h"
#include "ui/terminal_dlg.h"

// Appends the text to the event's log in the backup folder; FALSE when the log
// could not be written (the message has been shown and the box must stay).
static BOOL SaveBoxToLog(CTerminalDlg& dlg, const char* pszSuffix, const CString& strText) {
  char szStamp[LOG_STAMP_SIZE] = {0};
  dlg.MakeTimeStamp(szStamp);
  dlg.EnsureDirectory(kBackupFolder);
  CString strFileName = LogFileName(g_portConfig.nPortIndex, szStamp, pszSuffix);
  return dlg.AppendToLogFile(strFileName, strText);
}

void CTerminalDlg::OnClearReceive() {
  UpdateData(TRUE);
  if (!SaveBoxToLog(*this, kClearReceiveLogSuffix, m_strReceive)) return;
  m_strReceive = "";
  m_strRecvCount = "";
  m_rcvJournal.Empty();
  UpdateData(FALSE);
  UpdateModemStatus();
}

void CTerminalDlg::OnClearSend() {
  UpdateData(TRUE);
  if (!SaveBoxToLog(*this, kClearSendLogSuffix, m_strSend)) return;
  std::memset(m_sendBuf, 0, sizeof m_sendBuf);
  m_strSend = "";
  m_strSendCount = "";
  m_sndJournal.Empty();
  UpdateData(FALSE);
  UpdateModemStatus();
}
