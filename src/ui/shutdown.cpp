// Closing the terminal: both boxes to backup logs, the settings file, then the
// timers, the reader and the port. A backup that cannot be written keeps the
// window open with everything running, so no text is lost. At an end the
// operator did not choose (WM_ENDSESSION) the sequence always runs to its end;
// a box whose backup failed keeps its journal for the next start.
#include "exchange/reader_thread.h"
#include "logs/journal_sync.h"
#include "logs/log_files.h"
#include "port/port_config.h"
#include "port/settings_file.h"
#include "ui/selector_lists.h"
#include "ui/terminal_dlg.h"

void CTerminalDlg::OnCancel() {
  CString strFileName;
  UpdateData(TRUE);

  char szStamp[LOG_STAMP_SIZE] = {0};
  MakeTimeStamp(szStamp);
  EnsureDirectory(kBackupFolder);

  strFileName = LogFileName(g_portConfig.nPortIndex, szStamp, kShutdownReceiveLogSuffix);
  if (!AppendToLogFile(strFileName, m_strReceive)) return;

  strFileName = "";
  strFileName = LogFileName(g_portConfig.nPortIndex, szStamp, kShutdownSendLogSuffix);
  if (!AppendToLogFile(strFileName, m_strSend)) return;

  m_rcvJournal.Remove();
  m_sndJournal.Remove();
  EndTerminal();
}

void CTerminalDlg::OnEndSession(BOOL bEnding) {
  // Before the terminal has started (its start-up settings dialog is up) the
  // boxes hold nothing and the settings are not decided: nothing to save.
  if (!bEnding || g_hMainWnd != m_hWnd) return;
  UpdateData(TRUE);

  char szStamp[LOG_STAMP_SIZE] = {0};
  MakeTimeStamp(szStamp);
  EnsureDirectory(kBackupFolder);

  if (AppendToLogFile(LogFileName(g_portConfig.nPortIndex, szStamp, kShutdownReceiveLogSuffix), m_strReceive)) {
    m_rcvJournal.Remove();
  }
  if (AppendToLogFile(LogFileName(g_portConfig.nPortIndex, szStamp, kShutdownSendLogSuffix), m_strSend)) {
    m_sndJournal.Remove();
  }
  EndTerminal();
}

void CTerminalDlg::EndTerminal() {
  WriteSettingsFile(g_portConfig);

  for (const WindowTimer& timer : kWindowTimers) KillTimer(timer.nID);

  // The reader is joined, not just told to stop, so that it has ended before the
  // port is closed and posts nothing to a window that is about to go.
  StopReader();
  Sleep(10);
  ClosePort();
  DiscardQueuedBlocks();

  // Journals still open (a backup failed) are synced and closed as they are.
  m_rcvJournal.Close();
  m_sndJournal.Close();
  StopJournalSync();

  CDialog::OnCancel();
}
