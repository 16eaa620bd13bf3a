// The message loop: posted messages from other threads in order, to windows
// that are gone, the filters of PeekMessage, and window timers, which tick on
// while a message box or a nested dialog is up without ever re-entering their
// own handler.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "dialog_runner.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::kAboutTemplate;
using morvek::test::RunDialog;
using morvek::testing::PumpUntil;

constexpr UINT kPosted = WM_USER + 1;
constexpr UINT kOther = WM_USER + 2;

class LoopDialog : public CDialog {
 public:
  LoopDialog() : CDialog(kAboutTemplate) {}
  std::vector<WPARAM> posted, other;
  std::map<UINT_PTR, int> ticks;
  UINT_PTR boxTimer = 0;  // the timer whose first tick shows a message box
  bool inBox = false;
  int reentered = 0;

  LRESULT OnPosted(WPARAM wParam, LPARAM) {
    posted.push_back(wParam);
    return 0;
  }
  LRESULT OnOther(WPARAM wParam, LPARAM) {
    other.push_back(wParam);
    return 0;
  }
  void OnTimer(UINT_PTR id) {
    if (inBox && id == boxTimer) ++reentered;
    if (++ticks[id] == 1 && id == boxTimer) {
      inBox = true;
      AfxMessageBox("a box while timers run");
      inBox = false;
    }
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(LoopDialog, CDialog)
  ON_MESSAGE(kPosted, OnPosted)
  ON_MESSAGE(kOther, OnOther)
  ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(PostedMessages, MessagesFromOtherThreadsArriveInTheOrderEachPostedThem) {
  constexpr WPARAM kPerThread = 20000;
  LoopDialog dialog;
  HWND window = nullptr;
  RunDialog(dialog, [&](CDialog&) {
    window = dialog.m_hWnd;
    std::atomic<int> refused{0};
    auto poster = [&](WPARAM thread) {
      for (WPARAM i = 0; i < kPerThread; ++i) {
        if (!PostMessage(window, kPosted, (thread << 24) | i, 0)) ++refused;
      }
    };
    std::thread first(poster, 1);
    std::thread second(poster, 2);
    EXPECT_TRUE(PumpUntil([&] { return dialog.posted.size() == 2 * kPerThread; }, 60s)) << dialog.posted.size();
    first.join();
    second.join();
    EXPECT_EQ(refused, 0);
    WPARAM next[3] = {0, 0, 0};
    for (WPARAM value : dialog.posted) {
      WPARAM thread = value >> 24;
      ASSERT_EQ(value & 0xFFFFFF, next[thread]) << "thread " << thread;
      ++next[thread];
    }
  });
  // The window is gone: another thread's post is refused, and nothing queues.
  BOOL posted = TRUE;
  DWORD error = 0;
  std::thread late([&] {
    posted = PostMessage(window, kPosted, 1, 0);
    error = GetLastError();
  });
  late.join();
  EXPECT_FALSE(posted);
  EXPECT_EQ(error, ERROR_INVALID_HANDLE);
  EXPECT_FALSE(PostMessage(nullptr, kPosted, 1, 0));
}

TEST(PostedMessages, MessagesQueuedForAWindowThatIsDestroyedAreDropped) {
  LoopDialog outer;
  RunDialog(outer, [&](CDialog&) {
    LoopDialog inner;
    RunDialog(inner, [&](CDialog&) {
      for (WPARAM i = 0; i < 3; ++i) EXPECT_TRUE(inner.PostMessage(kPosted, i, 0));
      EXPECT_TRUE(outer.PostMessage(kPosted, 7, 0));
      inner.EndDialog(IDOK);
    });
    EXPECT_TRUE(PumpUntil([&] { return !outer.posted.empty(); }, 30s));
    EXPECT_EQ(outer.posted, std::vector<WPARAM>{7});
    EXPECT_TRUE(inner.posted.empty());
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  });
}

TEST(MessagePeek, FiltersByWindowAndRangeAndRemovesOnlyWhenAsked) {
  LoopDialog dialog;
  RunDialog(dialog, [&](CDialog&) {
    HWND window = dialog.m_hWnd;
    HWND ok = GetDlgItem(window, IDOK);
    PostMessage(window, kPosted, 1, 0);
    PostMessage(window, kOther, 2, 0);
    PostMessage(window, kPosted, 3, 0);
    PostMessage(ok, kOther, 4, 0);

    MSG msg{};
    struct Step {
      HWND hwnd;
      UINT first, last, remove;
      BOOL found;
      WPARAM wParam;
    } steps[] = {
        {window, kOther, kOther, PM_NOREMOVE, TRUE, 2},   // the first in range
        {window, kOther, kOther, PM_NOREMOVE, TRUE, 2},   // still there
        {window, kOther, kOther, PM_REMOVE, TRUE, 2},     // taken
        {window, kOther, kOther, PM_REMOVE, TRUE, 4},     // a control's message counts as the dialog's
        {window, kOther, kOther, PM_REMOVE, FALSE, 0},
        {ok, kPosted, kPosted, PM_REMOVE, FALSE, 0},      // not the control's
        {window, kPosted, kPosted, PM_REMOVE, TRUE, 1},   // in the order posted
        {window, kPosted, kPosted, PM_REMOVE, TRUE, 3},
        {window, WM_USER, WM_USER + 9, PM_REMOVE, FALSE, 0},
    };
    for (const Step& step : steps) {
      msg = MSG{};
      EXPECT_EQ(PeekMessage(&msg, step.hwnd, step.first, step.last, step.remove), step.found) << step.wParam;
      if (step.found) {
        EXPECT_EQ(msg.wParam, step.wParam);
      }
    }
    EXPECT_FALSE(PeekMessage(nullptr, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(dialog.posted.empty());  // none was dispatched behind the filters
    EXPECT_TRUE(dialog.other.empty());
  });
}

TEST(WindowTimers, TicksGoOnDuringAMessageBoxAndANestedDialogWithoutReentering) {
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
  LoopDialog dialog;
  dialog.boxTimer = 1;
  bool ticksDuringBox = false;
  morvek::testing::OnMessageBox([&](const std::string&) {
    // The box is up: the other timer goes on, the box's own timer waits.
    int before = dialog.ticks[2];
    ticksDuringBox = PumpUntil([&] { return dialog.ticks[2] >= before + 5; }, 30s);
  });
  bool ticksDuringDialog = false;
  RunDialog(
      dialog,
      [&](CDialog&) {
        dialog.SetTimer(1, 10, nullptr);
        dialog.SetTimer(2, 10, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return dialog.ticks[1] >= 3; }, 30s));
        CDialog nested(kAboutTemplate, &dialog);
        nested.DoModal();
      },
      [&](CDialog& nested) {
        int before = dialog.ticks[2];
        ticksDuringDialog = PumpUntil([&] { return dialog.ticks[2] >= before + 3; }, 30s);
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
