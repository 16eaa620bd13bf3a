// Writing a box's journal: appends, rewrites and removal, each fault leaving
// the journal behind the box until the next write catches it up.
#include "logs/box_journal.h"

#include "logs/journal_sync.h"
#include "logs/log_files.h"
#include "port/value_lists.h"

// While writes keep failing, the whole text is tried again at most this often.
static constexpr DWORD kRetryPeriodMs = 1000;

CString JournalFileName(int nPortIndex, JournalKind kind) {
  return CString(kBackupFolder) + "\\." + PortNameText(nPortIndex) +
         (kind == JournalKind::Receive ? ".rcv.journal" : ".snd.journal");
}

CBoxJournal::~CBoxJournal() { Close(); }

bool CBoxJournal::Open() {
  if (m_hFile != INVALID_HANDLE_VALUE) return true;
  if (m_nPortIndex == kNoPort) return false;
  if (IsDirectory(kBackupFolder) != 1) CreateDirectoryA(kBackupFolder, nullptr);
  // Shared with nobody: the lock tells a program starting beside this one
  // that the journal is alive.
  HANDLE hFile = CreateFileA(JournalFileName(m_nPortIndex, m_kind), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return false;
  LONG nHigh = 0;
  SetLastError(ERROR_SUCCESS);
  DWORD dwLow = SetFilePointer(hFile, 0, &nHigh, FILE_END);
  if (dwLow == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) {
    CloseHandle(hFile);
    return false;
  }
  m_hFile = hFile;
  m_nKept = (static_cast<long long>(nHigh) << 32) | dwLow;
  m_nLength = 0;
  return true;
}

// Puts the file pointer at nOffset.
static bool SeekTo(HANDLE hFile, long long nOffset) {
  LONG nHigh = static_cast<LONG>(nOffset >> 32);
  SetLastError(ERROR_SUCCESS);
  DWORD dwLow = SetFilePointer(hFile, static_cast<LONG>(nOffset & 0xFFFFFFFF), &nHigh, FILE_BEGIN);
  return !(dwLow == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);
}

// The file pointer stays at the end of the file: every write and cut leaves it
// there, and a failed one is followed by a rewrite that cuts first.
bool CBoxJournal::WriteAtEnd(const char* pBytes, int nLength) {
  DWORD dwWritten = 0;
  bool bWritten = WriteFile(m_hFile, pBytes, static_cast<DWORD>(nLength), &dwWritten, nullptr) != FALSE;
  MarkJournalWritten(m_hFile);
  return bWritten;
}

bool CBoxJournal::CutAt(long long nOffset) {
  bool bCut = SeekTo(m_hFile, nOffset) && SetEndOfFile(m_hFile) != FALSE;
  MarkJournalWritten(m_hFile);
  return bCut;
}

void CBoxJournal::Rewrite(const CString& strText) {
  if (m_bBehind && GetTickCount() - m_dwLastFailure < kRetryPeriodMs) return;
  if (Open() && CutAt(m_nKept) && WriteAtEnd(strText.GetString(), strText.GetLength())) {
    m_nLength = strText.GetLength();
    m_bBehind = false;
    return;
  }
  m_bBehind = true;
  m_dwLastFailure = GetTickCount();
}

void CBoxJournal::Append(const CString& strText, int nOldLength) {
  int nAdded = strText.GetLength() - nOldLength;
  if (nAdded <= 0 && !m_bBehind) return;
  if (m_bBehind || m_hFile == INVALID_HANDLE_VALUE || nOldLength != m_nLength) {
    Rewrite(strText);
    return;
  }
  if (WriteAtEnd(strText.GetString() + nOldLength, nAdded)) {
    m_nLength = strText.GetLength();
    return;
  }
  m_bBehind = true;
  m_dwLastFailure = GetTickCount();
}

void CBoxJournal::Replace(const CString& strText) {
  m_bBehind = false;  // written now, whenever the last attempt failed
  Rewrite(strText);
}

void CBoxJournal::CatchUp(const CString& strText) {
  if (m_bBehind) Rewrite(strText);
}

void CBoxJournal::Follow(const CString& strText) {
  if (strText == m_strFollowed && !m_bBehind) return;
  m_strFollowed = strText;
  if (m_hFile == INVALID_HANDLE_VALUE && strText.IsEmpty()) return;  // nothing to keep yet
  Rewrite(strText);
}

void CBoxJournal::Empty() {
  m_strFollowed = "";
  if (m_hFile == INVALID_HANDLE_VALUE) {
    m_bBehind = false;  // nothing of the box is on the disk
    return;
  }
  if (CutAt(m_nKept)) {
    m_nLength = 0;
    m_bBehind = false;
    return;
  }
  m_bBehind = true;
  m_dwLastFailure = GetTickCount();
}

// Removes the open journal's file (or only the box's part of it, when text
// was found in it at its first open), then closes it. The file is deleted
// while its lock is still held, so no other program can take it in between.
void CBoxJournal::Discard() {
  if (m_hFile == INVALID_HANDLE_VALUE) return;
  ForgetJournal(m_hFile);
  if (m_nKept > 0) {
    CutAt(m_nKept);
    ForgetJournal(m_hFile);
    FlushFileBuffers(m_hFile);
  } else {
    DeleteFileA(JournalFileName(m_nPortIndex, m_kind));
  }
  CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
  m_nKept = 0;
  m_nLength = 0;
}

void CBoxJournal::MoveTo(int nPortIndex, const CString& strText) {
  if (nPortIndex == m_nPortIndex) return;
  CBoxJournal old(m_kind);
  old.m_nPortIndex = m_nPortIndex;
  old.m_hFile = m_hFile;
  old.m_nKept = m_nKept;

  m_nPortIndex = nPortIndex;
  m_hFile = INVALID_HANDLE_VALUE;
  m_nKept = 0;
  m_nLength = 0;
  m_bBehind = false;
  m_strFollowed = strText;
  if (!strText.IsEmpty()) Replace(strText);
  old.Discard();
}

void CBoxJournal::Remove() {
  Discard();
  m_bBehind = false;
  m_strFollowed = "";
}

void CBoxJournal::Close() {
  if (m_hFile == INVALID_HANDLE_VALUE) return;
  ForgetJournal(m_hFile);
  FlushFileBuffers(m_hFile);
  CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
}
