#include "qt/system_menu.h"

#include <QMenu>
#include <map>

#include "afx/window_backend.h"
#include "qt/dialog_state.h"
#include "qt/qt_text.h"
#include "qt/window_registry.h"
#include "win32_system.h"

namespace morvek::qt {
namespace {

std::map<HMENU, SystemMenu*>& Menus() {
  static std::map<HMENU, SystemMenu*> menus;
  return menus;
}

HMENU NewMenuHandle() {
  static std::uintptr_t next = 0x40010;
  HMENU handle = reinterpret_cast<HMENU>(next);
  next += 4;
  return handle;
}

std::vector<SystemMenu::Entry> StandardEntries() {
  return {
      {MF_STRING, SC_RESTORE, QString::fromUtf16(u"元のサイズに戻す(&R)")},
      {MF_STRING, SC_MOVE, QString::fromUtf16(u"移動(&M)")},
      {MF_STRING, SC_SIZE, QString::fromUtf16(u"サイズ変更(&S)")},
      {MF_STRING, SC_MINIMIZE, QString::fromUtf16(u"最小化(&N)")},
      {MF_STRING, SC_MAXIMIZE, QString::fromUtf16(u"最大化(&X)")},
      {MF_SEPARATOR, 0, QString()},
      {MF_STRING, SC_CLOSE, QString::fromUtf16(u"閉じる(&C)\tAlt+F4")},
  };
}

// Whether a window command applies in the window's present state.
bool CommandAvailable(UINT_PTR id, const QWidget& widget, DWORD style) {
  bool minimized = widget.isMinimized();
  bool maximized = widget.isMaximized();
  switch (id) {
    case SC_RESTORE: return minimized || maximized;
    case SC_MOVE: return !maximized && !minimized;
    case SC_SIZE: return (style & WS_THICKFRAME) && !maximized && !minimized;
    case SC_MINIMIZE: return (style & WS_MINIMIZEBOX) && !minimized;
    case SC_MAXIMIZE: return (style & WS_MAXIMIZEBOX) && !maximized;
    default: return true;
  }
}

SystemMenu* MenuOf(HWND dialog) {
  WindowRecord* record = FindWindowRecord(dialog);
  if (!record || !record->dialog) return nullptr;
  if (!record->dialog->systemMenu) record->dialog->systemMenu = std::make_unique<SystemMenu>();
  return record->dialog->systemMenu.get();
}

}  // namespace

SystemMenu::SystemMenu() : m_entries(StandardEntries()) {
  m_wrapper.m_hMenu = NewMenuHandle();
  Menus().emplace(m_wrapper.m_hMenu, this);
}

SystemMenu::~SystemMenu() { Menus().erase(m_wrapper.m_hMenu); }

void SystemMenu::Revert() { m_entries = StandardEntries(); }

void OpenSystemMenu(HWND dialog, QPoint globalPosition) {
  SystemMenu* systemMenu = MenuOf(dialog);
  WindowRecord* record = FindWindowRecord(dialog);
  if (!systemMenu || !record || !record->widget) return;
  auto* menu = new QMenu(record->widget);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const SystemMenu::Entry& entry : systemMenu->Entries()) {
    if (entry.flags & MF_SEPARATOR) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(entry.text);
    action->setEnabled(!(entry.flags & MF_GRAYED) && CommandAvailable(entry.id, *record->widget, record->style));
    UINT_PTR id = entry.id;
    QObject::connect(action, &QAction::triggered, menu, [dialog, id] {
      if (IsLiveWindow(dialog)) SendMessageA(dialog, WM_SYSCOMMAND, id, 0);
    });
  }
  menu->popup(globalPosition);
}

}  // namespace morvek::qt

namespace morvek::framework {

CMenu* SystemMenuWrapper(HWND hWnd, BOOL bRevert) {
  qt::SystemMenu* menu = qt::MenuOf(hWnd);
  if (!menu) return nullptr;
  if (bRevert) {
    menu->Revert();
    return nullptr;
  }
  return menu->Wrapper();
}

}  // namespace morvek::framework

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) {
  CMenu* wrapper = morvek::framework::SystemMenuWrapper(hWnd, bRevert);
  return wrapper ? wrapper->m_hMenu : nullptr;
}

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  auto found = morvek::qt::Menus().find(hMenu);
  if (found == morvek::qt::Menus().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!(uFlags & MF_SEPARATOR) && !lpNewItem) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QString text = (uFlags & MF_SEPARATOR) ? QString() : morvek::qt::FromCp932(lpNewItem);
  found->second->Append({uFlags, uIDNewItem, text});
  return TRUE;
}
