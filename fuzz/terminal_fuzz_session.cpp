// The main dialog session the window-driving fuzz targets run their inputs in.
#include "terminal_fuzz_session.h"

#include <memory>

#include "fuzz_driver.h"
#include "support/terminal_session.h"

namespace {

CTerminalDlg* g_dialog = nullptr;
std::shared_ptr<morvek::testing::VirtualPort> g_port;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  morvek::testing::StartWindowSystem(*argc, *argv);
  morvek::testing::CaptureMessageBoxes(true);
  return 0;
}

void MorvekFuzzRun(const std::function<void()>& loop) {
  g_port = morvek::testing::VirtualPort::Install(1);
  bool ran = false;
  morvek::test::TerminalSession session;
  session.script = [&](CTerminalDlg& dialog) {
    morvek::fuzz::Check(morvek::testing::TakeMessageBoxTexts().empty(), "start-up showed a message");
    g_dialog = &dialog;
    loop();
    g_dialog = nullptr;
    ran = true;
  };
  session.Run();
  g_port.reset();
  morvek::fuzz::Check(ran, "the main window did not start");
}

namespace morvek::fuzz {

CTerminalDlg& TerminalDialog() {
  if (g_dialog == nullptr) Fail("no main window is running");
  return *g_dialog;
}

testing::VirtualPort& TerminalPort() {
  if (!g_port) Fail("no virtual port is installed");
  return *g_port;
}

void ChooseEntry(CComboBox& selector, int index) {
  Check(testing::ChooseComboEntry(selector.m_hWnd, index), "a selector has no such entry");
}

}  // namespace morvek::fuzz
