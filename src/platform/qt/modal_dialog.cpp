// DoModal: the window from the template, OnInitDialog before it is first
// shown, a nested loop until EndDialog, the window destroyed before DoModal
// returns. EndDialog destroys the window at once (so the dialog no longer
// takes messages) and ends the loop with the result.
#include "qt/modal_dialog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <functional>
#include <vector>

#include "afx_app.h"
#include "afx_dialog.h"
#include "qt/dialog_builder.h"
#include "qt/dialog_state.h"
#include "qt/dialog_widget.h"
#include "qt/window_lifetime.h"
#include "qt/window_registry.h"
#include "testing.h"

namespace morvek::qt {
namespace {

std::vector<HWND>& RunningDialogs() {
  static std::vector<HWND> running;
  return running;
}

std::function<void(CDialog&)>& ModalDialogHandler() {
  static std::function<void(CDialog&)> handler;
  return handler;
}

// The given parent, else the application's main window (unless that is this
// dialog itself).
HWND OwnerFor(const CDialog& dialog, CWnd* parent) {
  if (parent && IsLiveWindow(parent->m_hWnd)) return parent->m_hWnd;
  CWnd* main = AfxGetMainWnd();
  if (main && main != &dialog && IsLiveWindow(main->m_hWnd)) return main->m_hWnd;
  return nullptr;
}

HWND FirstTabStop(HWND dialog) {
  WindowRecord* record = FindWindowRecord(dialog);
  if (!record) return nullptr;
  for (HWND child : record->children) {
    WindowRecord* control = FindWindowRecord(child);
    if (control && (control->style & WS_TABSTOP) && (control->style & WS_VISIBLE) && control->widget &&
        control->widget->isEnabled()) {
      return child;
    }
  }
  return nullptr;
}

// The test seam: the handler drives the dialog once it is up. A copy runs, so
// that the handler may replace itself.
void CallModalDialogHandler(QWidget* widget, HWND hwnd, CDialog* dialog) {
  QMetaObject::invokeMethod(
      widget,
      [hwnd, dialog] {
        std::function<void(CDialog&)> handler = ModalDialogHandler();
        if (handler && IsLiveWindow(hwnd)) handler(*dialog);
      },
      Qt::QueuedConnection);
}

void RunModalLoop(DialogWidget* widget, HWND hwnd, HWND owner, ModalRun& run, CDialog* dialog) {
  BOOL ownerWasDisabled = owner ? EnableWindow(owner, FALSE) : TRUE;
  widget->setWindowModality(Qt::ApplicationModal);
  widget->show();
  RunningDialogs().push_back(hwnd);
  QEventLoop loop;
  run.loop = &loop;
  CallModalDialogHandler(widget, hwnd, dialog);
  if (!run.ended) loop.exec();
  run.loop = nullptr;
  std::erase(RunningDialogs(), hwnd);
  if (owner && !ownerWasDisabled) EnableWindow(owner, TRUE);
}

}  // namespace

HWND ActiveModalDialog() {
  for (auto it = RunningDialogs().rbegin(); it != RunningDialogs().rend(); ++it) {
    if (IsLiveWindow(*it)) return *it;
  }
  return nullptr;
}

}  // namespace morvek::qt

INT_PTR CDialog::DoModal() {
  using namespace morvek::qt;
  const DialogTemplate* source = FindDialogTemplate(m_nIDTemplate);
  // No template, a window already made, or no window system: no dialog.
  if (!source || m_hWnd || !QCoreApplication::instance()) return -1;
  HWND owner = OwnerFor(*this, m_pParentWnd);

  ModalRun run;
  QPointer<DialogWidget> widget = BuildDialog(*source, owner, this);
  HWND hwnd = widget->Handle();
  if (WindowRecord* record = FindWindowRecord(hwnd)) record->dialog->modal = &run;

  HWND firstTabStop = FirstTabStop(hwnd);
  BOOL focusFirst = IsLiveWindow(hwnd) ? static_cast<BOOL>(::SendMessageA(hwnd, WM_INITDIALOG,
                                                                        reinterpret_cast<WPARAM>(firstTabStop), 0))
                                       : FALSE;
  // EndDialog inside OnInitDialog ends the dialog before it is ever shown.
  if (!run.ended && IsLiveWindow(hwnd)) {
    if (focusFirst && IsLiveWindow(firstTabStop)) ::SetFocus(firstTabStop);
    RunModalLoop(widget, hwnd, owner, run, this);
  }
  TearDownWindow(hwnd);
  delete widget.data();
  return run.result;
}

void CDialog::EndDialog(int nResult) {
  using namespace morvek::qt;
  WindowRecord* record = FindWindowRecord(m_hWnd);
  if (!record || !record->dialog || !record->dialog->modal) return;
  record->dialog->modal->result = nResult;
  TearDownWindow(m_hWnd);
}

namespace morvek::testing {

void OnModalDialog(std::function<void(::CDialog& dialog)> handler) { qt::ModalDialogHandler() = std::move(handler); }

}  // namespace morvek::testing
