// The window registry: every window of the program has an HWND, an opaque
// number (never a pointer), that maps to its record here: its widget, the
// wrapper attached to it, its parent, control id, kind and style.
//
// Records are created, changed and removed on the window thread only; whether
// an HWND names a live window may be asked from any thread (IsLiveWindow).
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "afx_wnd.h"

namespace morvek::qt {

enum class WindowKind {
  Dialog,
  PushButton,
  CheckBox,
  GroupBox,
  LineEdit,   // single-line edit
  TextEdit,   // editable multi-line edit
  TextView,   // read-only multi-line edit (ByteTextView)
  Label,      // static text
  IconLabel,  // static icon
  ComboBox,   // drop-down list
};

// What a window remembers of the text it was given, so that it returns exactly
// those bytes while its shown text has not changed, and can take only the tail
// of a string that extends the one it shows.
struct TextMemory {
  std::string bytes;  // the exact bytes shown (a TextView holds them itself)
  std::shared_ptr<CString::Lineage> lineage;  // of the string last set, if any
  std::size_t lineageLength = 0;              // its length when set
  bool edited = false;    // the user has changed the text since it was set
  bool updating = false;  // the framework itself is changing the widget
  int fullRewrites = 0;   // texts set in full (not as an appended tail)
};

struct DialogState;  // dialog_state.h

struct WindowRecord {
  WindowRecord(HWND handle, WindowKind windowKind, QWidget* windowWidget);
  ~WindowRecord();
  WindowRecord(const WindowRecord&) = delete;
  WindowRecord& operator=(const WindowRecord&) = delete;

  const HWND hwnd;
  const WindowKind kind;
  QPointer<QWidget> widget;
  HWND parent = nullptr;  // a control's dialog; a dialog's owner
  int id = 0;             // control id (0 for a dialog)
  DWORD style = 0;
  bool enabled = true;      // a dialog's own enabled state (controls use the widget's)
  CWnd* attached = nullptr;  // the permanent wrapper
  std::unique_ptr<CWnd> temporary;  // the wrapper GetDlgItem hands out otherwise
  std::vector<HWND> children;       // a dialog's controls, in template order
  HICON icon = nullptr;             // the icon a static icon shows
  TextMemory text;
  std::unique_ptr<DialogState> dialog;  // dialogs only
};

// Registers a new window and marks its widget with the handle.
WindowRecord& RegisterWindow(WindowKind kind, QWidget* widget, HWND parent, int id, DWORD style);
// The record of a live window, or null. Window thread.
WindowRecord* FindWindowRecord(HWND hwnd);
// Whether hwnd names a live window. Any thread.
bool IsLiveWindow(HWND hwnd);
// The innermost window whose widget is `widget` or contains it (within the
// same top-level widget), or null.
HWND WindowOfWidget(const QWidget* widget);
// The dialog a window belongs to (a dialog belongs to itself), or null.
HWND DialogOf(HWND hwnd);
// Whether hwnd is `ancestor` or one of its controls.
bool IsSelfOrChild(HWND ancestor, HWND hwnd);
// Removes the records of these windows. Their wrappers lose their m_hWnd; the
// widgets are left to the caller.
void UnregisterWindows(const std::vector<HWND>& hwnds);

}  // namespace morvek::qt
