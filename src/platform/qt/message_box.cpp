// Message boxes and beeps. A message box is modal, with an OK button and the
// CP932 text; timers and posted messages go on while it is up (its loop is a
// Qt loop like any other). Tests can capture the boxes instead (testing.h).
#include <QApplication>
#include <QMessageBox>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "afx_app.h"
#include "afx_misc.h"
#include "qt/modal_dialog.h"
#include "qt/qt_text.h"
#include "qt/session_end.h"
#include "qt/window_registry.h"
#include "testing.h"

namespace morvek::qt {
namespace {

struct MessageBoxCapture {
  bool on = false;
  std::vector<std::string> texts;
  std::function<void(const std::string&)> handler;
};

MessageBoxCapture& Capture() {
  static MessageBoxCapture capture;
  return capture;
}

std::atomic<int> g_beeps{0};

QMessageBox::Icon IconOf(UINT type) {
  switch (type & 0xF0) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

QString DefaultCaption() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pszAppName && *app->m_pszAppName) return FromCp932(app->m_pszAppName);
  return QStringLiteral("MORVEK Comm");
}

int ShowMessageBox(LPCSTR text, UINT type) {
  std::string bytes = text ? text : "";
  MessageBoxCapture& capture = Capture();
  if (capture.on) {
    capture.texts.push_back(bytes);
    // A copy runs, so that the handler may replace itself.
    std::function<void(const std::string&)> handler = capture.handler;
    if (handler) handler(bytes);
    return IDOK;
  }
  if (SessionEnding()) {
    // Nobody may be there to answer while the session ends.
    std::fprintf(stderr, "%s\n", FromCp932(bytes).toUtf8().constData());
    return IDOK;
  }
  WindowRecord* ownerRecord = FindWindowRecord(ActiveModalDialog());
  QMessageBox box(IconOf(type), DefaultCaption(), FromCp932(bytes), QMessageBox::Ok,
                  ownerRecord ? ownerRecord->widget.data() : nullptr);
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return IDOK;
}

}  // namespace
}  // namespace morvek::qt

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
  return morvek::qt::ShowMessageBox(lpszText, nType);
}

BOOL MessageBeep(UINT uType) {
  ++morvek::qt::g_beeps;
  if (QCoreApplication::instance()) QApplication::beep();
  return TRUE;
}

namespace morvek::testing {

void CaptureMessageBoxes(bool on) { qt::Capture().on = on; }

std::vector<std::string> TakeMessageBoxTexts() { return std::exchange(qt::Capture().texts, {}); }

void OnMessageBox(std::function<void(const std::string& text)> handler) { qt::Capture().handler = std::move(handler); }

int TakeBeepCount() { return qt::g_beeps.exchange(0); }

}  // namespace morvek::testing
