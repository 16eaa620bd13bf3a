// Message boxes, the file dialog, files and painting.
#pragma once

#include "afx_wnd.h"

// A modal message box with the text (CP932) and an OK button, owned by the
// active window. Returns IDOK. Timers and posted messages go on being dispatched
// while it is up.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

enum : DWORD {
  OFN_READONLY = 0x1,
  OFN_OVERWRITEPROMPT = 0x2,
  OFN_HIDEREADONLY = 0x4,
  OFN_FILEMUSTEXIST = 0x1000,
};

struct OPENFILENAMEA {
  DWORD Flags;
  LPCSTR lpstrInitialDir;
  DWORD nFilterIndex;
};

// The system's file dialog. The filter is "text|pattern|text|pattern||"; the
// first entry is selected. A typed name need not exist.
class CFileDialog {
 public:
  CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
              DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
              CWnd* pParentWnd = nullptr);
  virtual ~CFileDialog() = default;
  virtual INT_PTR DoModal();   // IDOK or IDCANCEL
  CString GetPathName() const;  // the chosen file's full path
  OPENFILENAMEA m_ofn{};

 private:
  BOOL m_bOpen;
  CString m_defExt;
  CString m_fileName;
  CString m_filter;
  CString m_path;
};

// Why a file could not be opened.
class CFileException {
 public:
  enum Cause { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
               directoryFull, badSeek, hardIO, sharingViolation, lockViolation, diskFull, endOfFile };
  int m_cause = none;
  LONG m_lOsError = 0;
  CString m_strFileName;
  // Shows the framework's message naming the file and the reason; returns IDOK.
  int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) const;
  // The message text that ReportError shows.
  CString GetErrorMessage() const;
};

class CFile {
 public:
  // A file is opened for reading, held by this opener alone.
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    shareExclusive = 0x0010,
  };
  CFile() = default;
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  // Opens an existing file with modeRead | shareExclusive (other flags fail with
  // ERROR_INVALID_PARAMETER); fills pError (cause, system code, name) on
  // failure. A folder is refused with accessDenied, a file another opener holds
  // with sharingViolation.
  virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  virtual void Close();
  HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

class CStdioFile : public CFile {};

// A paint context for a window; drawing happens on the window's own surface.
class CPaintDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL DrawIcon(int x, int y, HICON hIcon);
  HDC m_hDC;
  HWND m_hWnd;
};

