// The backup folder, log names and appending a box's text to its log.
#include "logs/log_files.h"

#include <algorithm>

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

// Puts the file back to the length it had before the append.
static void UndoAppend(HANDLE hFile, DWORD dwOldLengthLow, LONG nOldLengthHigh) {
  SetFilePointer(hFile, static_cast<LONG>(dwOldLengthLow), &nOldLengthHigh, FILE_BEGIN);
  SetEndOfFile(hFile);
}

// Writes every byte, in pieces WriteFile can take (its count is 32 bits), and
// checks each piece. TRUE only when all `nLength` bytes were written.
static bool WriteWhole(HANDLE hFile, const char* pBytes, std::size_t nLength) {
  constexpr std::size_t kPiece = 1u << 30;
  for (std::size_t nDone = 0; nDone < nLength;) {
    const DWORD dwPiece = static_cast<DWORD>(std::min(kPiece, nLength - nDone));
    DWORD dwWritten = 0;
    if (!WriteFile(hFile, pBytes + nDone, dwPiece, &dwWritten, nullptr) || dwWritten != dwPiece) return false;
    nDone += dwPiece;
  }
  return true;
}

BOOL AppendBytesToLogFile(LPCSTR pszPath, const char* pBytes, std::size_t nLength) {
  HANDLE hFile = CreateFileA(pszPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) {
    AfxMessageBox("ログファイルがオープンできません", MB_OK, 0);
    return FALSE;
  }

  // The length before the append, so that a failed write can be taken back.
  // When it cannot be learnt nothing is written, and nothing is taken back.
  LONG nOldLengthHigh = 0;
  SetLastError(ERROR_SUCCESS);
  DWORD dwOldLengthLow = SetFilePointer(hFile, 0, &nOldLengthHigh, FILE_END);
  const bool bOldLengthKnown = !(dwOldLengthLow == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);

  bool bWritten = bOldLengthKnown && WriteWhole(hFile, pBytes, nLength);
  if (bWritten) bWritten = FlushFileBuffers(hFile) != FALSE;

  if (!bWritten) {
    if (bOldLengthKnown) UndoAppend(hFile, dwOldLengthLow, nOldLengthHigh);
    CloseHandle(hFile);
    AfxMessageBox("ログファイルに書き込めません", MB_OK, 0);
    return FALSE;
  }
  SetEndOfFile(hFile);
  CloseHandle(hFile);
  return TRUE;
}

BOOL CTerminalDlg::AppendToLogFile(const CString& strPath, const CString& strText) {
  return AppendBytesToLogFile(strPath, strText.GetString(), strText.View().size());
}
