// CCmdTarget, CWnd, message maps, menus and data exchange.
//
// Dispatch: the window system calls CWnd::WindowProc, which asks OnWndMsg to find
// a handler in the class's static message map, then in its base class's map and
// so on; a message no map handles goes to DefWindowProc. Handlers run on the
// window thread.
#pragma once

#include "afx_string.h"
#include "win32_user.h"

class CCmdTarget;
class CWnd;
class CDataExchange;

// One message-map entry. nMessage is the window message; for WM_COMMAND entries
// nCode is the notification code and nID..nLastID the control ids. handler calls
// the member function with the message's parameters decoded and returns the
// message's result.
using AFX_PMSG_THUNK = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  AFX_PMSG_THUNK handler;
};
struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

// Opens a message map; `ThisClass` names the class inside the entries.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                           \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }      \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                      \
    using ThisClass [[maybe_unused]] = theClass;                                         \
    using TheBaseClass = baseClass;                                                      \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                              \
  { 0, 0, 0, 0, nullptr }                                                              \
  }                                                                                    \
  ;                                                                                    \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, _messageEntries}; \
  return &messageMap;                                                                  \
  }

#define AFX_THUNK(body) \
  [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
    (void)wParam;                                                    \
    (void)lParam;                                                    \
    auto* self = static_cast<ThisClass*>(target);                    \
    body                                                             \
  }

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), AFX_THUNK(self->memberFxn(); return 0;)},
#define ON_CONTROL(code, id, memberFxn) {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), AFX_THUNK(self->memberFxn(); return 0;)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, 0, AFX_THUNK(self->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_THUNK(self->OnPaint(); return 0;)},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, 0, AFX_THUNK(return reinterpret_cast<LRESULT>(self->OnQueryDragIcon());)},
#define ON_WM_HELPINFO() {WM_HELP, 0, 0, 0, AFX_THUNK(return self->OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, AFX_THUNK(self->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, 0, AFX_THUNK(self->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AFX_THUNK(self->OnClose(); return 0;)},
#define ON_WM_ENDSESSION() {WM_ENDSESSION, 0, 0, 0, AFX_THUNK(self->OnEndSession(static_cast<BOOL>(wParam)); return 0;)},
#define ON_MESSAGE(message, memberFxn) {static_cast<UINT>(message), 0, 0, 0, AFX_THUNK(return self->memberFxn(wParam, lParam);)},

// The root of every class with a message map.
class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget() = default;

  // Shows the wait cursor until the matching EndWaitCursor; calls nest.
  void BeginWaitCursor();
  void EndWaitCursor();

  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

  // Looks the message up in this class's map and its bases'. Returns TRUE and
  // the handler's result when an entry handles it.
  BOOL FindAndCall(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};

class CMenu {
 public:
  HMENU m_hMenu = nullptr;
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
};

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;

  HWND m_hWnd = nullptr;

  // The window procedure: OnWndMsg, then DefWindowProc for what no map handles.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // The system's own handling: WM_SYSCOMMAND moves, sizes, minimises, maximises,
  // restores, and turns SC_CLOSE into WM_CLOSE; WM_CLOSE of a dialog becomes the
  // IDCANCEL command; control messages (texts, checks, lists) act on the control.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Sees every key and mouse message bound for this window or one of its
  // controls before it is dispatched; TRUE consumes it.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Default processing of the message now being handled (DefWindowProc with the
  // current message's parameters).
  LRESULT Default();
  const MSG* GetCurrentMessage() const;

  virtual void DoDataExchange(CDataExchange* pDX);
  // TRUE: controls to members; FALSE: members to controls, through DoDataExchange.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Attaches this object to a control of a dialog (DDX_Control does this once).
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

  CWnd* GetDlgItem(int nID) const;  // a wrapper the framework owns, or null
  void SetWindowText(LPCSTR lpszString);
  void SetWindowText(const CString& text);
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  BOOL IsIconic() const;
  void GetClientRect(RECT* lpRect) const;
  void GetWindowRect(RECT* lpRect) const;
  CMenu* GetSystemMenu(BOOL bRevert) const;
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  int GetDlgCtrlID() const;

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
  BOOL KillTimer(UINT_PTR nIDEvent);

  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;
};

// Data exchange between a dialog's controls and its members.
class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
  BOOL m_bSaveAndValidate;  // TRUE: controls to members
  CWnd* m_pDlgWnd;
  HWND PrepareCtrl(int nIDC);  // the control's window; null when the dialog has none with that id
};

// Binds a member wrapper to control nIDC (once; later calls do nothing).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Moves the text of control nIDC to or from value. Costs nothing when the
// control already shows value; a value that extends the shown text appends the
// tail only (see CString's lineage).
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
