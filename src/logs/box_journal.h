// The journal of one text box: a hidden file in the backup folder that holds
// what the box holds, so that its text outlives a crash, a kill or a power
// cut. The receive box's journal grows by each appended text; the send box's
// is rewritten when its text changes. The names are
// ".\BAKUP\.COM1.rcv.journal" and ".\BAKUP\.COM1.snd.journal" (port text as
// in the log names).
//
// A journal is opened on its first write and then held with an exclusive
// lock, so that another running program leaves it alone; its writes reach the
// kernel at once and the disk through the sync worker (journal_sync.h).
//
// No journal fault is ever shown or stops the terminal: a write that fails
// leaves the journal behind the box, and the next write (at most once a
// second while it keeps failing) puts the box's whole text in it again.
// Text already in the file when it is first opened (a journal that could not
// be recovered at start) stays ahead of the box's text and is kept for the
// next start.
//
// Window thread only.
#pragma once

#include "platform/afx.h"

enum class JournalKind { Receive, Send };

// The journal's path for the port index and kind.
CString JournalFileName(int nPortIndex, JournalKind kind);

class CBoxJournal {
 public:
  explicit CBoxJournal(JournalKind kind) : m_kind(kind) {}
  ~CBoxJournal();  // closes as Close does
  CBoxJournal(const CBoxJournal&) = delete;
  CBoxJournal& operator=(const CBoxJournal&) = delete;

  // The port whose journal this is; no journal is written before it is set.
  void SetPortIndex(int nPortIndex) { m_nPortIndex = nPortIndex; }

  // The box's text grew from nOldLength bytes to strText.
  void Append(const CString& strText, int nOldLength);
  // The box's text became strText.
  void Replace(const CString& strText);
  // The box's text is strText now: rewrites the journal when that differs from
  // what it last took (or a write failed). For the send box, which keeps no
  // history of its changes.
  void Follow(const CString& strText);
  // Writes the box's whole text when a failed write left the journal behind.
  void CatchUp(const CString& strText);
  // The box was emptied after its log was written.
  void Empty();

  // The box goes on under another port: its whole text goes to that port's
  // journal, then the old port's journal is removed (nothing happens for the
  // same port).
  void MoveTo(int nPortIndex, const CString& strText);
  // The box's text is safe in a backup log: the journal is removed (text found
  // in it at its first open stays for the next start).
  void Remove();
  // Closes the journal as it is, synced, for the next start to recover.
  void Close();

 private:
  bool Open();
  bool WriteAtEnd(const char* pBytes, int nLength);
  bool CutAt(long long nOffset);
  void Rewrite(const CString& strText);
  void Discard();

  static constexpr int kNoPort = -1000;

  const JournalKind m_kind;
  int m_nPortIndex = kNoPort;
  HANDLE m_hFile = INVALID_HANDLE_VALUE;
  long long m_nKept = 0;      // bytes found in the file at its first open
  long long m_nLength = 0;    // bytes of the box's text in the file after them
  bool m_bBehind = false;     // a write failed: the file lags the box
  DWORD m_dwLastFailure = 0;  // tick of the last failed write
  CString m_strFollowed;      // what Follow last took
};
