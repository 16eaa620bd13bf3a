// Renders one of the program's dialogs to a PNG file, headless:
//
//   screenshot <template> [file.png]     template: 100, 102 or 130
//
// The port settings dialog (130) is the program's own, filled as at its first
// showing (from morvek.ini in the current folder, else the defaults). The main
// dialog (102) is filled as start-up leaves it with those settings: selectors,
// title, status line, time-out, DTR and RTS ticked. The About box (100) is
// shown as its template makes it. Nothing is written but the picture.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/afx.h"
#include "platform/msvcrt.h"
#include "platform/testing.h"
#include "port/port_config.h"
#include "port/port_settings_dlg.h"
#include "port/port_texts.h"
#include "res/resource.h"
#include "ui/selector_lists.h"

namespace {

// Shows `dialog`, lets `fill` fill it, saves the picture and closes it.
bool Capture(CDialog& dialog, const std::string& path, void (*fill)(CDialog&)) {
  bool saved = false;
  morvek::testing::OnModalDialog([&](CDialog& shown) {
    if (&shown != &dialog) return;
    if (fill) fill(dialog);
    morvek::testing::PumpOnce();  // lay out what was filled in
    saved = morvek::testing::SaveWindowImage(dialog.m_hWnd, path);
    dialog.EndDialog(IDCANCEL);
  });
  INT_PTR result = dialog.DoModal();
  morvek::testing::OnModalDialog(nullptr);
  return result != -1 && saved;
}

// The settings the first showing of the port settings dialog loads.
void LoadStartupSettings() {
  CPortSettingsDlg settings;
  morvek::testing::OnModalDialog([&](CDialog& shown) { shown.EndDialog(IDOK); });
  settings.DoModal();
  morvek::testing::OnModalDialog(nullptr);
}

template <std::size_t N>
void FillSelectorOf(CDialog& dialog, int id, const char* const (&entries)[N]) {
  CComboBox box;
  if (box.SubclassDlgItem(id, &dialog)) FillSelector(box, entries);
}

void FillMainDialog(CDialog& dialog) {
  FillSelectorOf(dialog, IDC_SEND_FORMAT, kSendFormatEntries);
  FillSelectorOf(dialog, IDC_INTERVAL, kIntervalEntries);
  FillSelectorOf(dialog, IDC_DISPLAY_FORMAT, kDisplayFormatEntries);
  dialog.SetWindowText(WindowTitleText(g_portConfig));
  dialog.GetDlgItem(IDC_PORT_STATUS)->SetWindowText(OpenPortStatusLine(g_portConfig));
  char timeout[16] = {0};
  dialog.GetDlgItem(IDC_READ_TIMEOUT)->SetWindowText(msvcrt::_itoa(g_portConfig.ReadIntervalTimeout, timeout, 10));
  for (int id : {IDC_DTR, IDC_RTS}) dialog.GetDlgItem(id)->SendMessage(BM_SETCHECK, BST_CHECKED);
  for (int id : {IDC_DCD, IDC_DSR, IDC_CTS, IDC_RI}) dialog.GetDlgItem(id)->SetWindowText("OFF");
}

}  // namespace

int main(int argc, char** argv) {
  morvek::testing::StartWindowSystem(argc, argv);
  UINT id = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : IDD_TERMINAL_DIALOG;
  std::string path = argc > 2 ? argv[2] : "dialog_" + std::to_string(id) + ".png";
  bool saved = false;
  if (id == IDD_PORT_SETTINGS) {
    CPortSettingsDlg settings;
    saved = Capture(settings, path, nullptr);
  } else if (id == IDD_TERMINAL_DIALOG) {
    LoadStartupSettings();
    CDialog main(IDD_TERMINAL_DIALOG);
    saved = Capture(main, path, FillMainDialog);
  } else {
    CDialog dialog(id);
    saved = Capture(dialog, path, nullptr);
  }
  if (!saved) {
    std::fprintf(stderr, "screenshot: no picture of template %u\n", id);
    return 1;
  }
  std::printf("%s\n", path.c_str());
  return 0;
}
