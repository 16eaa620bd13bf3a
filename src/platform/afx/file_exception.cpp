// The message of a CFileException: the file's name and, in plain words, why
// it could not be opened.
#include "afx_misc.h"
#include "win32_file.h"
#include "win32_system.h"

namespace {

// Whether the name is a folder, leaving the caller's last error as it was.
bool IsFolder(const char* name) {
  const DWORD savedError = GetLastError();
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(name, &found);
  const bool folder = search != INVALID_HANDLE_VALUE && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  SetLastError(savedError);
  return folder;
}

const char* Reason(int cause, const char* name) {
  switch (cause) {
    case CFileException::fileNotFound:
    case CFileException::badPath: return " が見つかりません。";
    case CFileException::accessDenied: return IsFolder(name) ? " はフォルダです。" : " にアクセスできません。";
    case CFileException::sharingViolation: return " は他のプログラムが使用中です。";
    default: return " を開けません。";
  }
}

}  // namespace

CString CFileException::GetErrorMessage() const { return m_strFileName + Reason(m_cause, m_strFileName); }

int CFileException::ReportError(UINT nType, UINT) const { return AfxMessageBox(GetErrorMessage(), nType); }
