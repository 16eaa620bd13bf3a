// The main window's own handlers on the real dialog: the layout on resize,
// maximising and restoring, the icon painted while minimised, the About entry,
// and Escape and F1, which keep the window open.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <chrono>
#include <vector>

#include "platform/resources.h"
#include "platform/testing.h"
#include "res/resource.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::testing::PumpUntil;

// A control's left, top, width and height in the dialog's client pixels (the
// frame is as wide on the left, right and bottom; the caption adds to the top).
using Place = std::array<LONG, 4>;
Place PlaceOf(CWnd& dialog, int id) {
  RECT control, frame, client;
  dialog.GetDlgItem(id)->GetWindowRect(&control);
  dialog.GetWindowRect(&frame);
  dialog.GetClientRect(&client);
  LONG side = ((frame.right - frame.left) - client.right) / 2;
  LONG x = frame.left + side, y = frame.bottom - side - client.bottom;
  return {control.left - x, control.top - y, control.right - control.left, control.bottom - control.top};
}

class WindowShell : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    setenv("MORVEK_COM1", "loopback", 1);
  }
};

TEST_F(WindowShell, ResizeMovesTheFourControlsAndClampsNegativeSizes) {
  Run([&](CTerminalDlg& dlg) {
    struct Row {
      int cx, cy, id;
      Place expected;
    } rows[] = {
        {1024, 700, IDCANCEL, {970, 6, 49, 24}},        {1024, 700, IDC_SEND, {935, 110, 84, 35}},
        {1024, 700, IDC_SEND_BOX, {4, 148, 1019, 100}}, {1024, 700, IDC_RECEIVE_BOX, {4, 340, 1015, 350}},
        {800, 600, IDC_RECEIVE_BOX, {4, 340, 791, 250}}, {0, 0, IDC_RECEIVE_BOX, {4, 340, 0, 0}},
        {0, 0, IDC_SEND_BOX, {4, 148, 0, 100}},
    };
    for (const Row& row : rows) {
      dlg.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(row.cx, row.cy));
      EXPECT_EQ(PlaceOf(dlg, row.id), row.expected) << row.id << " at " << row.cx;
    }
  });
}

TEST_F(WindowShell, MaximisedAndRestoredTheBoxesFitAndMinimisedTheIconIsPainted) {
  Run([&](CTerminalDlg& dlg) {
    HWND window = dlg.m_hWnd;
    RECT normal;
    dlg.GetClientRect(&normal);
    const auto fits = [&](LONG width, LONG height) {
      RECT client;
      dlg.GetClientRect(&client);
      return client.right == width && client.bottom == height &&
             PlaceOf(dlg, IDC_RECEIVE_BOX) == Place{4, 340, width - 9, height - 350};
    };
    dlg.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    RECT maximised{};
    EXPECT_TRUE(PumpUntil([&] {
      dlg.GetClientRect(&maximised);
      return IsZoomed(window) && maximised.right > normal.right && fits(maximised.right, maximised.bottom);
    }, 30s));

    dlg.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(window) != FALSE; }, 30s));
    const morvek::testing::WindowImage image = morvek::testing::RenderWindow(window);
    const IconImage& icon = FindIconResource(IDR_MAINFRAME)->images[0];
    ASSERT_EQ(icon.width, 32);
    ASSERT_GT(image.width, 32);
    // Centred; its transparent pixels show the erased background.
    const int left = (image.width - 32 + 1) / 2, top = (image.height - 32 + 1) / 2;
    for (int y = 0; y < 32; y += 5) {
      for (int x = 0; x < 32; x += 5) {
        const int at = y * 32 + x;
        const DWORD expected = (icon.mask && icon.mask[at]) ? image.At(0, 0) : kIconPalette[icon.pixels[at] & 15];
        EXPECT_EQ(image.At(left + x, top + y), expected) << x << "," << y;
      }
    }
    CPaintDC outside(&dlg);  // not painting now: nothing to draw on
    EXPECT_FALSE(outside.DrawIcon(0, 0, dlg.m_hIcon));

    dlg.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);  // back to maximised, as it was
    EXPECT_TRUE(PumpUntil([&] { return IsZoomed(window) && fits(maximised.right, maximised.bottom); }, 30s));
    dlg.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(window) && fits(normal.right, normal.bottom); }, 30s));
  });
}

TEST_F(WindowShell, AboutShowsItsBoxWhileEscapeBeepsAndF1DoesNothing) {
  Run([&](CTerminalDlg& dlg) {
    std::vector<UINT> shown;
    morvek::testing::OnModalDialog([&](CDialog& box) {
      shown.push_back(box.GetTemplateId());
      box.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    morvek::testing::TakeBeepCount();
    for (UINT key : {VK_ESCAPE, VK_F1}) morvek::testing::SendKey(dlg.GetDlgItem(IDC_SEND_BOX)->m_hWnd, key);
    EXPECT_EQ(morvek::testing::TakeBeepCount(), 1);
    EXPECT_EQ(shown, std::vector<UINT>{IDD_ABOUTBOX});
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
  });
}

}  // namespace
