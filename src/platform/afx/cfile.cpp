// CFile: the framework's file over CreateFileA, opened to read it alone, and the
// exception record it fills when an open fails.
#include "afx_misc.h"
#include "win32_file.h"
#include "win32_system.h"

namespace {

// The cause the framework gives a system error code.
int CauseFromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: return CFileException::accessDenied;
    case ERROR_SHARING_VIOLATION: return CFileException::sharingViolation;
    default: return CFileException::genericException;
  }
}

}  // namespace

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  // An object reused without Close lets go of its previous file first.
  Close();
  HANDLE file = INVALID_HANDLE_VALUE;
  if (nOpenFlags == (modeRead | shareExclusive)) {
    file = CreateFileA(lpszFileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
  }
  if (file == INVALID_HANDLE_VALUE) {
    if (pError) {
      pError->m_lOsError = static_cast<LONG>(GetLastError());
      pError->m_cause = CauseFromError(GetLastError());
      pError->m_strFileName = lpszFileName;
    }
    return FALSE;
  }
  m_hFile = file;
  return TRUE;
}

void CFile::Close() {
  if (m_hFile == INVALID_HANDLE_VALUE) return;
  CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
}
