// Window timers: ticks through the message map, setting and killing, and ticks
// that go on while a modal message box or a nested dialog is up, without a
// timer ever re-entering its own handler.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dialog_runner.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::kAboutTemplate;
using morvek::test::RunDialog;
using morvek::testing::PumpUntil;

class TimerDialog : public CDialog {
 public:
  TimerDialog() : CDialog(kAboutTemplate) {}
  std::map<UINT_PTR, int> ticks;
  UINT_PTR boxTimer = 0;  // the timer whose first tick shows a message box
  bool inBox = false;
  int reentered = 0;

  void OnTimer(UINT_PTR id) {
    if (inBox && id == boxTimer) ++reentered;
    ++ticks[id];
    if (id == boxTimer && ticks[id] == 1) {
      inBox = true;
      AfxMessageBox("a box while timers run");
      inBox = false;
    }
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TimerDialog, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

int g_procedureTicks = 0;
void CountTimerTick(HWND, UINT message, UINT_PTR, DWORD) {
  if (message == WM_TIMER) ++g_procedureTicks;
}

TEST(WindowTimers, TicksArriveThroughTheMessageMapUntilKilled) {
  TimerDialog dialog;
  HWND window = nullptr;
  RunDialog(dialog, [&](CDialog&) {
    window = dialog.m_hWnd;
    EXPECT_EQ(dialog.SetTimer(1, 20, nullptr), 1u);
    EXPECT_EQ(dialog.SetTimer(2, 10, nullptr), 2u);
    EXPECT_TRUE(PumpUntil([&] { return dialog.ticks[1] >= 3 && dialog.ticks[2] >= 3; }, 10s));
    EXPECT_TRUE(dialog.KillTimer(1));
    EXPECT_FALSE(dialog.KillTimer(1));   // twice
    EXPECT_FALSE(dialog.KillTimer(99));  // never set
    int killed = dialog.ticks[1];
    int other = dialog.ticks[2];
    EXPECT_TRUE(PumpUntil([&] { return dialog.ticks[2] >= other + 5; }, 10s));
    EXPECT_EQ(dialog.ticks[1], killed);

    g_procedureTicks = 0;
    EXPECT_NE(SetTimer(window, 3, 10, CountTimerTick), 0u);
    EXPECT_TRUE(PumpUntil([&] { return g_procedureTicks >= 2; }, 10s));
    EXPECT_EQ(dialog.ticks.count(3), 0u);  // a timer procedure takes the ticks instead
  });
  // The dialog's timers ended with its window.
  EXPECT_FALSE(KillTimer(window, 2));
  EXPECT_FALSE(KillTimer(window, 3));
  EXPECT_EQ(SetTimer(window, 1, 10, nullptr), 0u);
}

TEST(WindowTimers, TicksGoOnDuringAMessageBoxAndANestedDialogWithoutReentering) {
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
  TimerDialog dialog;
  dialog.boxTimer = 1;
  bool ticksDuringBox = false;
  morvek::testing::OnMessageBox([&](const std::string&) {
    // The box is up: the other timer goes on, the box's own timer waits.
    int before = dialog.ticks[2];
    ticksDuringBox = PumpUntil([&] { return dialog.ticks[2] >= before + 5; }, 10s);
  });
  bool ticksDuringDialog = false;
  RunDialog(
      dialog,
      [&](CDialog&) {
        dialog.SetTimer(1, 10, nullptr);
        dialog.SetTimer(2, 10, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return dialog.ticks[1] >= 3; }, 10s));
        CDialog nested(kAboutTemplate, &dialog);
        nested.DoModal();
      },
      [&](CDialog& nested) {
        int before = dialog.ticks[2];
        ticksDuringDialog = PumpUntil([&] { return dialog.ticks[2] >= before + 3; }, 10s);
        morvek::test::Cancel(nested);
      });
  morvek::testing::OnMessageBox(nullptr);
  morvek::testing::CaptureMessageBoxes(false);
  EXPECT_TRUE(ticksDuringBox);
  EXPECT_TRUE(ticksDuringDialog);
  EXPECT_EQ(dialog.reentered, 0);
  EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{"a box while timers run"});
}

}  // namespace
