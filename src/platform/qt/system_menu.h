// A dialog's system menu: the framework's own menu of window commands
// (Restore, Move, Size, Minimize, Maximize, Close) plus the entries the
// program appends. Window managers on Linux do not offer it, so Alt+Space and a
// right click on the dialog's background open it; a chosen entry sends
// WM_SYSCOMMAND with its id to the dialog.
#pragma once

#include <QPoint>
#include <QString>
#include <vector>

#include "afx_wnd.h"

namespace morvek::qt {

class SystemMenu {
 public:
  SystemMenu();
  ~SystemMenu();
  SystemMenu(const SystemMenu&) = delete;
  SystemMenu& operator=(const SystemMenu&) = delete;

  struct Entry {
    UINT flags;  // MF_SEPARATOR, MF_GRAYED
    UINT_PTR id;
    QString text;
  };

  CMenu* Wrapper() { return &m_wrapper; }
  const std::vector<Entry>& Entries() const { return m_entries; }
  void Append(const Entry& entry) { m_entries.push_back(entry); }
  // Back to the standard entries only.
  void Revert();

 private:
  CMenu m_wrapper;
  std::vector<Entry> m_entries;
};

// Opens the dialog's system menu at a point of the screen; it stays open until
// an entry is chosen or it is dismissed (the caller does not wait).
void OpenSystemMenu(HWND dialog, QPoint globalPosition);

}  // namespace morvek::qt
