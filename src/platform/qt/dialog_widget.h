// The Qt window of a dialog. It hands the window's own events to the dialog's
// window procedure: paint as WM_PAINT, every change of the client size as
// WM_SIZE, the close box as SC_CLOSE. QDialog's own key handling and ending
// (Escape, Return, done) are not used: the dialog's keys and EndDialog do that.
#pragma once

#include <QDialog>

#include "win32_user.h"

namespace morvek::qt {

class DialogWidget : public QDialog {
 public:
  // resizable: the template has a sizing border; otherwise the size is fixed
  // except while maximised.
  DialogWidget(QWidget* owner, DWORD style);

  void SetHandle(HWND hwnd) { m_hwnd = hwnd; }
  HWND Handle() const { return m_hwnd; }

  // The client size in the normal (not maximised) state.
  void SetNormalClientSize(QSize size);
  // Sends the WM_SIZE of a window being created.
  void SendCreationSize();

  void Minimize();
  void Maximize();
  void Restore();
  bool Resizable() const { return m_resizable; }

  void done(int result) override;
  void accept() override;
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FixSize();
  void NotifySize();

  HWND m_hwnd = nullptr;
  const bool m_resizable;
  QSize m_normalSize;
  bool m_sizeSent = false;
  UINT m_lastSizeKind = SIZE_RESTORED;
  QSize m_lastSize;
};

}  // namespace morvek::qt
