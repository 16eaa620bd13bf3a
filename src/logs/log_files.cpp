// The backup folder, log names and appending a box's text to its log.
#include "logs/log_files.h"

#include "port/value_lists.h"
#include "ui/terminal_dlg.h"

BOOL IsDirectory(LPCSTR pszPath) {
  WIN32_FIND_DATAA findData = {};
  HANDLE hFind = FindFirstFileA(pszPath, &findData);
  if (hFind == INVALID_HANDLE_VALUE) return 0;
  FindClose(hFind);
  return (findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 1 : 0;
}

CString LogFileName(int nPortIndex, const char* pszStamp, const char* pszSuffix) {
  return kLogFolderPrefix + PortNameText(nPortIndex) + "_" + pszStamp + pszSuffix;
}

BOOL CTerminalDlg::EnsureDirectory(LPCSTR pszPath) {
  if (IsDirectory(pszPath) == 1) return 1;
  return CreateDirectoryA(pszPath, nullptr) ? 1 : 0;
}

// Puts the file back to the length it had before the append and closes it.
static void UndoAppend(HANDLE hFile, DWORD dwOldLengthLow, LONG nOldLengthHigh) {
  SetFilePointer(hFile, static_cast<LONG>(dwOldLengthLow), &nOldLengthHigh, FILE_BEGIN);
  SetEndOfFile(hFile);
  CloseHandle(hFile);
}

LogAppendResult AppendBytesToLog(const CString& strPath, const CString& strText) {
  HANDLE hFile = CreateFileA(strPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return LogAppendResult::OpenFailed;

  // The length before the append, so that a failed write can be taken back.
  LONG nOldLengthHigh = 0;
  SetLastError(ERROR_SUCCESS);
  DWORD dwOldLengthLow = SetFilePointer(hFile, 0, &nOldLengthHigh, FILE_END);
  bool bWritten = !(dwOldLengthLow == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);

  if (bWritten) {
    DWORD dwLength = static_cast<DWORD>(strText.GetLength());
    DWORD dwWritten = 0;
    bWritten = WriteFile(hFile, strText.GetString(), dwLength, &dwWritten, nullptr) && dwWritten == dwLength;
  }
  if (bWritten) bWritten = FlushFileBuffers(hFile) != FALSE;

  if (!bWritten) {
    UndoAppend(hFile, dwOldLengthLow, nOldLengthHigh);
    return LogAppendResult::WriteFailed;
  }
  SetEndOfFile(hFile);
  CloseHandle(hFile);
  return LogAppendResult::Appended;
}

BOOL CTerminalDlg::AppendToLogFile(const CString& strPath, const CString& strText) {
  switch (AppendBytesToLog(strPath, strText)) {
    case LogAppendResult::OpenFailed:
      AfxMessageBox("ログファイルがオープンできません", MB_OK, 0);
      return FALSE;
    case LogAppendResult::WriteFailed:
      AfxMessageBox("ログファイルに書き込めません", MB_OK, 0);
      return FALSE;
    case LogAppendResult::Appended:
      break;
  }
  return TRUE;
}
