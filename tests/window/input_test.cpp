// Input bound for a dialog's controls: the dialog's PreTranslateMessage sees
// each key and mouse button first and may consume it; F1 asks for help; the
// system menu opens from the keyboard and the mouse and sends its commands.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dialog_runner.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::kMainTemplate;
using morvek::test::RunDialog;
using morvek::testing::ChooseMenuEntry;
using morvek::testing::OpenMenuEntries;
using morvek::testing::SendKey;

constexpr UINT kAboutCommand = 0x0010;
constexpr UINT kKeyMenu = 0xF100;  // SC_KEYMENU: Alt+Space
const char* const kAboutEntry = "Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)...";

class KeyDialog : public CDialog {
 public:
  KeyDialog() : CDialog(kMainTemplate) {}
  std::vector<MSG> seen;
  std::set<WPARAM> swallowed;
  std::vector<int> helpFor;
  std::vector<UINT> commands;
  INT_PTR aboutResult = 0;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    CMenu* menu = GetSystemMenu(FALSE);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, kAboutCommand, kAboutEntry);
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    seen.push_back(*pMsg);
    if (pMsg->message == WM_KEYDOWN && swallowed.count(pMsg->wParam)) return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
  }
  BOOL OnHelpInfo(HELPINFO* pHelpInfo) {
    helpFor.push_back(pHelpInfo->iCtrlId);
    return TRUE;
  }
  // As the program does: its own entry shows the About box, the rest is the system's.
  void OnSysCommand(UINT nID, LPARAM) {
    commands.push_back(nID);
    if ((nID & 0xFFF0) == kAboutCommand) {
      CDialog about(morvek::test::kAboutTemplate);
      aboutResult = about.DoModal();
      return;
    }
    Default();
  }
  bool Saw(UINT message, WPARAM wParam, HWND hwnd) const {
    for (const MSG& msg : seen) {
      if (msg.message == message && msg.wParam == wParam && msg.hwnd == hwnd) return true;
    }
    return false;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeyDialog, CDialog)
  ON_WM_HELPINFO()
  ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

TEST(PreTranslate, KeysAimedAtAControlReachTheDialogsFilterFirst) {
  KeyDialog dialog;
  dialog.swallowed = {VK_ESCAPE, 'B', VK_RETURN};
  RunDialog(dialog, [&](CDialog& d) {
    HWND sendBox = GetDlgItem(d.m_hWnd, 1002);
    HWND status = GetDlgItem(d.m_hWnd, 1009);
    HWND list = GetDlgItem(d.m_hWnd, 1006);
    struct Row {
      HWND target;
      UINT key;
    } rows[] = {{sendBox, VK_ESCAPE}, {sendBox, 'A'}, {sendBox, 'B'}, {status, VK_RETURN}, {list, VK_F1}};
    for (const Row& row : rows) SendKey(row.target, row.key);
    for (const Row& row : rows) {
      EXPECT_TRUE(dialog.Saw(WM_KEYDOWN, row.key, row.target)) << row.key;
      EXPECT_TRUE(dialog.Saw(WM_KEYUP, row.key, row.target)) << row.key;
    }
    EXPECT_TRUE(IsWindow(d.m_hWnd));  // the filter took Escape before the dialog could cancel
    EXPECT_EQ(morvek::testing::ShownText(sendBox), "a");  // B never reached the box
    EXPECT_EQ(dialog.helpFor, std::vector<int>{1006});

    morvek::testing::Click(GetDlgItem(d.m_hWnd, 1000));
    EXPECT_TRUE(dialog.Saw(WM_LBUTTONDOWN, 0x1, GetDlgItem(d.m_hWnd, 1000)));
    EXPECT_TRUE(dialog.Saw(WM_LBUTTONUP, 0, GetDlgItem(d.m_hWnd, 1000)));

    dialog.swallowed.clear();
    SendKey(sendBox, VK_ESCAPE);  // not taken by the filter now: the dialog's Escape cancels
    EXPECT_FALSE(IsWindow(d.m_hWnd));
  });
}

TEST(SystemMenu, OpensFromTheKeyboardAndTheBackgroundAndSendsItsCommands) {
  KeyDialog dialog;
  int aboutShown = 0;
  auto pressOk = [&](CDialog& about) {
    ++aboutShown;
    SendKey(GetDlgItem(about.m_hWnd, IDOK), VK_RETURN);
  };
  RunDialog(dialog, [&](CDialog& d) {
    SendKey(d.m_hWnd, VK_SPACE, morvek::testing::kAlt);
    EXPECT_EQ(OpenMenuEntries(),
              (std::vector<std::string>{"元のサイズに戻す(&R)", "移動(&M)", "サイズ変更(&S)", "最小化(&N)", "最大化(&X)",
                                        "閉じる(&C)\tAlt+F4", kAboutEntry}));
    EXPECT_FALSE(ChooseMenuEntry("元のサイズに戻す(&R)"));  // not maximised or minimised: greyed
    EXPECT_FALSE(ChooseMenuEntry("サイズ変更(&S)"));        // no sizing border: greyed
    EXPECT_TRUE(ChooseMenuEntry(kAboutEntry));
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{kKeyMenu, kAboutCommand}));
    EXPECT_EQ(aboutShown, 1);
    EXPECT_EQ(dialog.aboutResult, IDOK);
    EXPECT_TRUE(OpenMenuEntries().empty());

    morvek::testing::RightClick(GetDlgItem(d.m_hWnd, 1002), 5, 5);  // in a control: no system menu
    EXPECT_TRUE(OpenMenuEntries().empty());
    morvek::testing::RightClick(d.m_hWnd, 2, 2);
    EXPECT_TRUE(ChooseMenuEntry("最大化(&X)"));
    EXPECT_TRUE(morvek::testing::PumpUntil([&] { return IsZoomed(d.m_hWnd) != FALSE; }, 30s));
    morvek::testing::RightClick(d.m_hWnd, 2, 2);
    EXPECT_TRUE(ChooseMenuEntry("元のサイズに戻す(&R)"));
    EXPECT_TRUE(morvek::testing::PumpUntil([&] { return IsZoomed(d.m_hWnd) == FALSE; }, 30s));
    morvek::testing::RightClick(d.m_hWnd, 2, 2);
    EXPECT_TRUE(ChooseMenuEntry("閉じる(&C)\tAlt+F4"));
    EXPECT_FALSE(IsWindow(d.m_hWnd));
  }, pressOk);
  EXPECT_EQ(dialog.commands, (std::vector<UINT>{kKeyMenu, kAboutCommand, SC_MAXIMIZE, SC_RESTORE, SC_CLOSE}));
  EXPECT_EQ(GetSystemMenu(nullptr, FALSE), nullptr);
  EXPECT_FALSE(AppendMenu(nullptr, MF_STRING, 1, "x"));
}

}  // namespace
