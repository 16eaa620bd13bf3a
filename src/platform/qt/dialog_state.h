// What a dialog's record holds beyond any window's: its template, its modal
// run, its icons and its system menu.
#pragma once

#include <QEventLoop>
#include <memory>

#include "resources.h"
#include "win32_user.h"

namespace morvek::qt {

class SystemMenu;  // system_menu.h

// One run of DoModal: how it ended. It lives in DoModal's frame, so that the
// result survives the window, which EndDialog destroys.
struct ModalRun {
  bool ended = false;
  INT_PTR result = -1;
  QEventLoop* loop = nullptr;  // while the modal loop runs
};

struct DialogState {
  explicit DialogState(const DialogTemplate& source);
  ~DialogState();
  DialogState(const DialogState&) = delete;
  DialogState& operator=(const DialogState&) = delete;

  const DialogTemplate& dialogTemplate;
  ModalRun* modal = nullptr;  // while DoModal runs it
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  std::unique_ptr<SystemMenu> systemMenu;  // created when first asked for
};

}  // namespace morvek::qt
