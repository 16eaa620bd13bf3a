// Closing the terminal: both boxes to backup logs, the settings file, then the
// timers, the reader and the port. A backup that cannot be written keeps the
// window open with everything running, so no text is lost.
#include "exchange/reader_thread.h"
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

  WriteSettingsFile(g_portConfig);

  for (const WindowTimer& timer : kWindowTimers) KillTimer(timer.nID);

  // The reader is joined, not just told to stop, so that it has ended before the
  // port is closed and posts nothing to a window that is about to go.
  StopReader();
  Sleep(10);
  ClosePort();
  DiscardQueuedBlocks();

  CDialog::OnCancel();
}
