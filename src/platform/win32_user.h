// Windows, messages, timers, menus and the other user-interface calls.
//
// All windows live on the program's window thread. PostMessage may be called from
// any thread; every other call here belongs on the window thread.
#pragma once

#include "win32_types.h"

// Messages.
enum : UINT {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_SIZE = 0x0005,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_SETTEXT = 0x000C,
  WM_GETTEXT = 0x000D,
  WM_GETTEXTLENGTH = 0x000E,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_ENDSESSION = 0x0016,
  WM_ERASEBKGND = 0x0014,
  WM_ICONERASEBKGND = 0x0027,
  WM_QUERYDRAGICON = 0x0037,
  WM_HELP = 0x0053,
  WM_CONTEXTMENU = 0x007B,
  WM_SETICON = 0x0080,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_USER = 0x0400,
};

// WM_ENDSESSION, wParam TRUE: the session ends now, without the operator's
// choice: the process got SIGTERM (a plain kill, a system shutdown) or SIGHUP,
// or the desktop session is ending. The framework sends it to the main window
// on the window thread, from whatever message loop runs at that moment. While
// it is handled, message boxes are not shown: their text goes to the standard
// error and they return IDOK at once, so that nothing waits for an operator.
// When the handler returns, the process ends with exit code 0 (as Windows ends
// a program after its WM_ENDSESSION); before a main window exists it ends at
// once. The signal handler itself does nothing but wake the window thread.

// Control messages and notifications.
enum : UINT {
  BM_GETCHECK = 0x00F0,
  BM_SETCHECK = 0x00F1,
  BM_CLICK = 0x00F5,
  BN_CLICKED = 0,
  BST_UNCHECKED = 0,
  BST_CHECKED = 1,
  EN_CHANGE = 0x0300,
  CB_GETCOUNT = 0x0146,
  CB_GETCURSEL = 0x0147,
  CB_GETLBTEXT = 0x0148,
  CB_GETLBTEXTLEN = 0x0149,
  CB_INSERTSTRING = 0x014A,
  CB_RESETCONTENT = 0x014B,
  CB_SELECTSTRING = 0x014D,
  CB_SETCURSEL = 0x014E,
  CB_SHOWDROPDOWN = 0x014F,
  CBN_SELCHANGE = 1,
  STM_SETICON = 0x0170,
};
constexpr int CB_ERR = -1;

// System commands (WM_SYSCOMMAND wParam, low four bits are the system's own).
enum : UINT {
  SC_SIZE = 0xF000,
  SC_MOVE = 0xF010,
  SC_MINIMIZE = 0xF020,
  SC_MAXIMIZE = 0xF030,
  SC_CLOSE = 0xF060,
  SC_RESTORE = 0xF120,
};

// WM_SIZE kinds.
enum : UINT { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// Virtual keys.
enum : UINT {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_DELETE = 0x2E,
  VK_F1 = 0x70,
  VK_F4 = 0x73,
};

// Dialog results and message-box types.
enum : int { IDOK = 1, IDCANCEL = 2 };
enum : UINT {
  MB_OK = 0x0,
  MB_ICONHAND = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONASTERISK = 0x40,
  MB_ICONERROR = MB_ICONHAND,
  MB_ICONWARNING = MB_ICONEXCLAMATION,
  MB_ICONINFORMATION = MB_ICONASTERISK,
};

enum : WPARAM { ICON_SMALL = 0, ICON_BIG = 1 };
enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXICON = 11, SM_CYICON = 12 };
enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };
enum : UINT { MF_STRING = 0x0, MF_GRAYED = 0x1, MF_SEPARATOR = 0x800 };

// Window styles.
enum : DWORD {
  WS_OVERLAPPED = 0x00000000u,
  WS_POPUP = 0x80000000u,
  WS_CHILD = 0x40000000u,
  WS_MINIMIZE = 0x20000000u,
  WS_VISIBLE = 0x10000000u,
  WS_DISABLED = 0x08000000u,
  WS_MAXIMIZE = 0x01000000u,
  WS_CAPTION = 0x00C00000u,
  WS_BORDER = 0x00800000u,
  WS_DLGFRAME = 0x00400000u,
  WS_VSCROLL = 0x00200000u,
  WS_HSCROLL = 0x00100000u,
  WS_SYSMENU = 0x00080000u,
  WS_THICKFRAME = 0x00040000u,
  WS_GROUP = 0x00020000u,
  WS_TABSTOP = 0x00010000u,
  WS_MINIMIZEBOX = 0x00020000u,
  WS_MAXIMIZEBOX = 0x00010000u,
  WS_EX_DLGMODALFRAME = 0x00000001u,
  WS_EX_CLIENTEDGE = 0x00000200u,
  WS_EX_STATICEDGE = 0x00020000u,
  WS_EX_APPWINDOW = 0x00040000u,
  DS_SETFONT = 0x40u,
  DS_MODALFRAME = 0x80u,
  ES_LEFT = 0x0000u,
  ES_CENTER = 0x0001u,
  ES_RIGHT = 0x0002u,
  ES_MULTILINE = 0x0004u,
  ES_AUTOVSCROLL = 0x0040u,
  ES_AUTOHSCROLL = 0x0080u,
  ES_READONLY = 0x0800u,
  ES_WANTRETURN = 0x1000u,
  ES_NUMBER = 0x2000u,
  BS_PUSHBUTTON = 0x0u,
  BS_DEFPUSHBUTTON = 0x1u,
  BS_AUTOCHECKBOX = 0x3u,
  BS_GROUPBOX = 0x7u,
  BS_TYPEMASK = 0xFu,
  CBS_DROPDOWNLIST = 0x3u,
  CBS_SORT = 0x100u,
  SS_LEFT = 0x0u,
  SS_CENTER = 0x1u,
  SS_RIGHT = 0x2u,
  SS_ICON = 0x3u,
  SS_TYPEMASK = 0x1Fu,
  SS_NOPREFIX = 0x80u,
  SS_SUNKEN = 0x1000u,
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

struct HELPINFO {
  UINT cbSize;
  int iContextType;
  int iCtrlId;
  HANDLE hItemHandle;
  POINT MousePos;
};

// Queues a message for hwnd on the window thread and returns at once. Returns
// FALSE (ERROR_INVALID_HANDLE) when hwnd names no live window; the caller then
// still owns whatever wParam and lParam point to. Messages posted from one
// thread are dispatched in the order they were posted. A message still queued
// when its window is destroyed is dropped.
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
#define PostMessage PostMessageA

// Calls the window procedure of hwnd directly and returns its result (0 for a
// window that does not exist).
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
#define SendMessage SendMessageA

// Takes the next queued message for hWnd (any window of the thread when null)
// whose number lies in wMsgFilterMin..wMsgFilterMax (both 0: any). Without a
// filter it first lets the window system handle its pending input, paint and
// timer events, which may dispatch messages themselves. Returns FALSE when none
// is waiting.
BOOL PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
#define PeekMessage PeekMessageA
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);
#define DispatchMessage DispatchMessageA

BOOL IsWindow(HWND hWnd);
BOOL DestroyWindow(HWND hWnd);

// Plays the sound of a message-box type (MB_OK = the default beep).
BOOL MessageBeep(UINT uType);

int GetSystemMetrics(int nIndex);

// Window timers: each (window, id) pair is one timer; WM_TIMER arrives through
// the window's message map with wParam = id. Setting an existing id restarts it.
// A tick is not queued twice: a timer whose handler is still running delivers
// nothing until it returns. KillTimer of an unknown id returns FALSE.
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

// System menu: the framework's own menu of a dialog (Restore, Move, Size,
// Minimize, Maximize, Close), opened with Alt+Space or a right click on the
// dialog's background. Items appended by the program send WM_SYSCOMMAND with
// their id.
HMENU GetSystemMenu(HWND hWnd, BOOL bRevert);
BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
#define AppendMenu AppendMenuA

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
BOOL IsIconic(HWND hWnd);
BOOL IsZoomed(HWND hWnd);
BOOL GetClientRect(HWND hWnd, RECT* lpRect);
BOOL GetWindowRect(HWND hWnd, RECT* lpRect);
// Moves and sizes a window in its parent's client pixels; negative sizes are
// taken as zero.
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
HWND GetParent(HWND hWnd);
HWND SetFocus(HWND hWnd);
HWND GetFocus();

// Window texts are CP932 bytes. Setting a text the window already shows costs
// nothing; a text that extends the shown one by a tail appends only the tail.
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
#define SetWindowText SetWindowTextA
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
#define GetWindowText GetWindowTextA
int GetWindowTextLengthA(HWND hWnd);
#define GetWindowTextLength GetWindowTextLengthA

// Resources of the program (templates, strings, icons in res/).
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
#define MAKEINTRESOURCE(i) (reinterpret_cast<LPCSTR>(static_cast<UINT_PTR>(static_cast<WORD>(i))))
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
