// Message dispatch: the static maps from a class to its bases, command codes
// and ids, the current message for Default, the default window procedure, and
// messages no window expects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_runner.h"

namespace {

using morvek::test::kAboutTemplate;
using morvek::test::kSettingsTemplate;
using morvek::test::RunDialog;

constexpr UINT kUserQuery = WM_USER + 5;
constexpr UINT kUserOuter = WM_USER + 6;
constexpr UINT kUserInner = WM_USER + 7;

class MapBase : public CDialog {
 public:
  explicit MapBase(UINT templateId = kAboutTemplate) : CDialog(templateId) {}
  std::vector<std::string> calls;

  void OnBaseCommand() { calls.push_back("base 500"); }
  void OnBase501() { calls.push_back("base 501"); }
  LRESULT OnQuery(WPARAM wParam, LPARAM) {
    calls.push_back("query " + std::to_string(wParam));
    return 42;
  }
  void OnCancel() override { calls.push_back("cancel"); CDialog::OnCancel(); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MapBase, CDialog)
  ON_COMMAND(500, OnBaseCommand)
  ON_BN_CLICKED(501, OnBase501)
  ON_MESSAGE(kUserQuery, OnQuery)
END_MESSAGE_MAP()

class MapDerived : public MapBase {
 public:
  using MapBase::MapBase;
  std::vector<UINT> currentSeen;
  CString captionSeen;

  void OnDerived501() { calls.push_back("derived 501"); }
  void OnEdit502() { calls.push_back("change 502"); }
  void OnPick502() { calls.push_back("pick 502"); }
  LRESULT OnOuter(WPARAM, LPARAM) {
    currentSeen.push_back(GetCurrentMessage()->message);
    SendMessage(kUserInner, 7, 0);
    currentSeen.push_back(GetCurrentMessage()->message);
    return 0;
  }
  LRESULT OnInner(WPARAM, LPARAM) {
    currentSeen.push_back(GetCurrentMessage()->message);
    return 0;
  }
  // The caption changes only through the default processing of the message.
  LRESULT OnSetText(WPARAM, LPARAM lParam) {
    calls.push_back(std::string("settext ") + reinterpret_cast<const char*>(lParam));
    return Default();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MapDerived, MapBase)
  ON_BN_CLICKED(501, OnDerived501)
  ON_EN_CHANGE(502, OnEdit502)
  ON_CBN_SELCHANGE(502, OnPick502)
  ON_MESSAGE(kUserOuter, OnOuter)
  ON_MESSAGE(kUserInner, OnInner)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

TEST(MessageMaps, EntriesAreFoundFromTheClassUpThroughItsBases) {
  struct Row {
    const char* what;
    UINT message;
    WPARAM wParam;
    const char* call;  // null: no handler
    LRESULT result;
  } rows[] = {
      {"inherited command", WM_COMMAND, MAKEWPARAM(500, BN_CLICKED), "base 500", 0},
      {"the derived class's entry comes first", WM_COMMAND, MAKEWPARAM(501, BN_CLICKED), "derived 501", 0},
      {"edit change", WM_COMMAND, MAKEWPARAM(502, EN_CHANGE), "change 502", 0},
      {"selection change of the same id", WM_COMMAND, MAKEWPARAM(502, CBN_SELCHANGE), "pick 502", 0},
      {"a command entry answers code 0 only", WM_COMMAND, MAKEWPARAM(500, EN_CHANGE), nullptr, 0},
      {"no entry for the id", WM_COMMAND, MAKEWPARAM(503, BN_CLICKED), nullptr, 0},
      {"user message with result", kUserQuery, 9, "query 9", 42},
      {"the framework's map: IDCANCEL", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), "cancel", 0},
      {"unknown message", 0x7FFF, 0, nullptr, 0},
      {"largest message number", 0xFFFFFFFFu, 0, nullptr, 0},
  };
  for (const Row& row : rows) {
    MapDerived dialog;  // no window: the map alone answers
    EXPECT_EQ(dialog.WindowProc(row.message, row.wParam, 0), row.result) << row.what;
    std::vector<std::string> expected;
    if (row.call) expected.push_back(row.call);
    EXPECT_EQ(dialog.calls, expected) << row.what;
  }
}

TEST(MessageMaps, DefaultProcessesTheCurrentMessageAndNests) {
  MapDerived dialog;
  RunDialog(dialog, [&](CDialog&) {
    dialog.SendMessage(kUserOuter, 0, 0);
    EXPECT_EQ(dialog.currentSeen, (std::vector<UINT>{kUserOuter, kUserInner, kUserOuter}));
    dialog.SetWindowText("caption");
    EXPECT_EQ(morvek::testing::ShownText(dialog.m_hWnd), "caption");
    CString caption;
    dialog.GetWindowText(caption);
    EXPECT_EQ(caption, "caption");
    // A message from the system's own processing comes through the map too.
    dialog.SendMessage(WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(dialog.m_hWnd));
  });
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"settext caption", "cancel"}));
}

TEST(MessageMaps, DeadWindowsAndUnexpectedMessagesAreHarmless) {
  HWND gone = nullptr;
  MapBase dialog(kSettingsTemplate);
  RunDialog(dialog, [&](CDialog&) {
    gone = dialog.m_hWnd;
    std::vector<HWND> targets{dialog.m_hWnd};
    for (int id : {1002, 1006, 1007}) targets.push_back(GetDlgItem(dialog.m_hWnd, id));
    targets.push_back(::GetDlgItem(dialog.m_hWnd, -1));  // a label
    // Every message number up to past the first user message, with empty and
    // all-ones parameters, except those that end the dialog or open menus
    // (pointer parameters may be null, not arbitrary).
    for (HWND target : targets) {
      ASSERT_TRUE(IsWindow(target));
      for (UINT message = 0; message < WM_USER + 8; ++message) {
        if (message == WM_CLOSE || message == WM_SYSCOMMAND || message == WM_COMMAND || message == WM_SYSKEYDOWN ||
            message == WM_CONTEXTMENU || message == CB_SHOWDROPDOWN) {
          continue;
        }
        SendMessage(target, message, 0, 0);
        SendMessage(target, message, ~WPARAM{0}, 0);
      }
    }
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
    EXPECT_FALSE(KillTimer(dialog.m_hWnd, 77));  // never set
  });
  SetLastError(0);
  EXPECT_EQ(SendMessage(gone, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SendMessage(nullptr, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
  EXPECT_FALSE(DestroyWindow(gone));
  RECT none{1, 1, 1, 1};
  EXPECT_FALSE(GetClientRect(nullptr, &none));
  EXPECT_FALSE(MoveWindow(nullptr, 0, 0, 1, 1, TRUE));
  EXPECT_EQ(dialog.GetDlgItem(1006), nullptr);
  char text[8] = "unset";
  EXPECT_EQ(GetWindowText(gone, text, sizeof text), 0);
  EXPECT_STREQ(text, "");
}

}  // namespace
