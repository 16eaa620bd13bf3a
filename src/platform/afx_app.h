// The application object, start-up and worker threads.
#pragma once

#include "afx_wnd.h"
#include "win32_system.h"

// The one application object. The framework's entry point (main, in the
// framework library) sets up the window system, calls InitInstance, and runs a
// message loop only when InitInstance returns TRUE; the process then ends.
class CWinApp : public CCmdTarget {
 public:
  explicit CWinApp(LPCSTR lpszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance();
  virtual int Run();  // the message loop, until the main window is gone
  virtual int ExitInstance();

  HICON LoadIcon(UINT nIDResource) const;
  void Enable3dControls() {}
  void OnHelp() {}

  CWnd* m_pMainWnd = nullptr;
  LPCSTR m_pszAppName;

  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
inline void AfxEnableControlContainer() {}

// Commands.
enum : UINT { ID_HELP = 0xE146 };

// Worker threads.
using AFX_THREADPROC = UINT (*)(LPVOID);
struct SECURITY_ATTRIBUTES;

// A worker thread. m_hThread can be waited on (WaitForSingleObject) for its end.
// With m_bAutoDelete TRUE (the default) the object deletes itself when the
// thread ends. A caller that wants to wait starts the thread with
// CREATE_SUSPENDED, sets m_bAutoDelete to FALSE, calls ResumeThread, and deletes
// the object once the wait is over.
class CWinThread {
 public:
  ~CWinThread();
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  BOOL m_bAutoDelete = TRUE;
  // Starts a thread created with CREATE_SUSPENDED.
  DWORD ResumeThread();

  struct State;
  std::shared_ptr<State> m_state;
};

enum : DWORD { CREATE_SUSPENDED = 0x4 };

// Starts pfnThreadProc(pParam) on a new thread. The priority is a hint (on Linux
// THREAD_PRIORITY_LOWEST raises the thread's nice value).
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0, SECURITY_ATTRIBUTES* lpSecurityAttrs = nullptr);
// Ends the calling worker thread at once with nExitCode (never returns).
[[noreturn]] void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
