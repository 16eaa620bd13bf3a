// CFile: the framework's file over CreateFileA, with its open flags and the
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
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return CFileException::accessDenied;
    case ERROR_SHARING_VIOLATION: return CFileException::sharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return CFileException::diskFull;
    default: return CFileException::genericException;
  }
}

bool AccessFor(UINT flags, DWORD& access) {
  switch (flags & 0x3) {
    case CFile::modeRead: access = GENERIC_READ; return true;
    case CFile::modeWrite: access = GENERIC_WRITE; return true;
    case CFile::modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; return true;
    default: return false;
  }
}

bool ShareFor(UINT flags, DWORD& share) {
  switch (flags & 0x70) {
    case CFile::shareCompat:
    case CFile::shareExclusive: share = 0; return true;
    case CFile::shareDenyWrite: share = FILE_SHARE_READ; return true;
    case CFile::shareDenyRead: share = FILE_SHARE_WRITE; return true;
    case CFile::shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; return true;
    default: return false;
  }
}

}  // namespace

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  // An object reused without Close lets go of its previous file first.
  Close();
  DWORD access = 0;
  DWORD share = 0;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (AccessFor(nOpenFlags, access) && ShareFor(nOpenFlags, share)) {
    const DWORD disposition = (nOpenFlags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    file = CreateFileA(lpszFileName, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
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
