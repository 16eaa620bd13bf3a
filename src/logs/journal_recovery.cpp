// Recovery at start: the journals of a run that did not end in order become
// backup logs, as its shutdown would have written them.
#include "logs/box_journal.h"
#include "logs/log_files.h"
#include "port/value_lists.h"
#include "ui/terminal_dlg.h"

// Reads the whole file from its start; false when a read fails.
static bool ReadWholeFile(HANDLE hFile, CString& strText) {
  char buffer[65536];
  DWORD dwRead = 0;
  while (ReadFile(hFile, buffer, sizeof buffer, &dwRead, nullptr)) {
    if (dwRead == 0) return true;
    strText.Append(buffer, static_cast<int>(dwRead));
  }
  return false;
}

// Writes one journal out as a backup log and removes it. A journal held by a
// running program is not opened; one that cannot be read or written out stays
// for the next start; an empty one is removed without a log.
static void RecoverJournal(CTerminalDlg& dlg, int nPortIndex, JournalKind kind, const char* pszSuffix) {
  CString strJournal = JournalFileName(nPortIndex, kind);
  HANDLE hFile = CreateFileA(strJournal, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return;

  FILETIME lastWrite = {};
  SYSTEMTIME utc = {};
  CString strText;
  bool bDone = GetFileTime(hFile, nullptr, nullptr, &lastWrite) && FileTimeToSystemTime(&lastWrite, &utc) &&
               ReadWholeFile(hFile, strText);
  if (bDone && !strText.IsEmpty()) {
    char szStamp[LOG_STAMP_SIZE] = {0};
    dlg.MakeTimeStampOf(utc, szStamp);
    bDone = AppendBytesToLog(LogFileName(nPortIndex, szStamp, pszSuffix), strText.GetString(), strText.View().size()) ==
            LogAppendResult::Appended;
  }
  // Deleted while the lock is held, so that no program starting beside this
  // one takes it in between.
  if (bDone) DeleteFileA(strJournal);
  CloseHandle(hFile);
}

void CTerminalDlg::RecoverJournals() {
  if (IsDirectory(kBackupFolder) != 1) return;
  // Every port text a journal can carry, the empty one of an index outside
  // the list included.
  for (int nPortIndex = -1; nPortIndex < PORT_COUNT; ++nPortIndex) {
    RecoverJournal(*this, nPortIndex, JournalKind::Receive, kShutdownReceiveLogSuffix);
    RecoverJournal(*this, nPortIndex, JournalKind::Send, kShutdownSendLogSuffix);
  }
}
