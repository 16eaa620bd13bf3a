// Message maps: the lookup of a message in a class's static map and, entry by
// entry, in the maps of its base classes.
#include "afx_wnd.h"

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam) {
  if (entry.nMessage != message) return false;
  if (message != WM_COMMAND) return true;
  // Commands: the notification code in the high word, the control id in the low word.
  UINT id = LOWORD(wParam);
  return entry.nCode == HIWORD(wParam) && id >= entry.nID && id <= entry.nLastID;
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP messageMap = {nullptr, entries};
  return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::FindAndCall(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry && entry->handler; ++entry) {
      if (!Matches(*entry, message, wParam)) continue;
      LRESULT result = entry->handler(this, wParam, lParam);
      if (pResult) *pResult = result;
      return TRUE;
    }
  }
  return FALSE;
}
