// The main window's layout on resize, its About entry and F1.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/testing.h"
#include "res/resource.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/terminal_test.h"

namespace {

using morvek::test::TerminalSession;

RECT RectInParent(CWnd& dialog, int id) {
  RECT control, client;
  dialog.GetDlgItem(id)->GetWindowRect(&control);
  dialog.GetWindowRect(&client);
  RECT clientArea;
  dialog.GetClientRect(&clientArea);
  // Client origin in screen pixels: the frame is as wide on the left, right and
  // bottom edges; the caption adds to the top only.
  LONG side = ((client.right - client.left) - (clientArea.right - clientArea.left)) / 2;
  LONG originX = client.left + side;
  LONG originY = client.bottom - side - (clientArea.bottom - clientArea.top);
  return RECT{control.left - originX, control.top - originY, control.right - originX, control.bottom - originY};
}

class WindowShell : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    setenv("MORVEK_COM1", "loopback", 1);
  }
};

TEST_F(WindowShell, ResizeMovesTheFourControlsAndClampsNegativeSizes) {
  TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    struct Row {
      int cx, cy;
      int id;
      RECT expected;  // left, top, right, bottom
    } rows[] = {
        {1024, 700, IDCANCEL, {970, 6, 970 + 49, 6 + 24}},
        {1024, 700, IDC_SEND, {935, 110, 935 + 84, 110 + 35}},
        {1024, 700, IDC_SEND_BOX, {4, 148, 4 + 1019, 148 + 100}},
        {1024, 700, IDC_RECEIVE_BOX, {4, 340, 4 + 1015, 340 + 350}},
        {800, 600, IDC_RECEIVE_BOX, {4, 340, 4 + 791, 340 + 250}},
        {0, 0, IDC_RECEIVE_BOX, {4, 340, 4, 340}},
        {0, 0, IDC_SEND_BOX, {4, 148, 4, 248}},
    };
    for (const auto& row : rows) {
      dlg.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(row.cx, row.cy));
      RECT r = RectInParent(dlg, row.id);
      EXPECT_EQ(r.left, row.expected.left) << row.id << " at " << row.cx;
      EXPECT_EQ(r.top, row.expected.top) << row.id << " at " << row.cx;
      EXPECT_EQ(r.right - r.left, row.expected.right - row.expected.left) << row.id << " at " << row.cx;
      EXPECT_EQ(r.bottom - r.top, row.expected.bottom - row.expected.top) << row.id << " at " << row.cx;
    }
  };
  session.Run();
}

TEST_F(WindowShell, AboutEntryOpensTheAboutBoxAndF1DoesNothing) {
  TerminalSession session;
  int aboutShown = 0;
  session.script = [&](CTerminalDlg& dlg) {
    auto previous = [&](CDialog& shown) {
      if (shown.GetTemplateId() == IDD_ABOUTBOX) {
        ++aboutShown;
        shown.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
    };
    morvek::testing::OnModalDialog(previous);
    dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_EQ(aboutShown, 1);
    HELPINFO help{};
    EXPECT_EQ(dlg.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), TRUE);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
  };
  session.Run();
}

}  // namespace
