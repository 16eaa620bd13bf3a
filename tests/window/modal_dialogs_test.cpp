// Modal dialogs: the ways a user ends a dialog, the first focus, and the
// system menu, which opens from the keyboard and the mouse and sends its
// commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_runner.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::kAboutTemplate;
using morvek::test::kMainTemplate;
using morvek::test::kSettingsTemplate;
using morvek::test::RunDialog;
using morvek::testing::ChooseMenuEntry;
using morvek::testing::OpenMenuEntries;
using morvek::testing::SendKey;

TEST(ModalDialogs, TheUsersWaysToEndADialogGiveOkOrCancel) {
  constexpr UINT kClick = 0;
  struct Row {
    const char* how;
    UINT templateId;
    int control;  // 0: the dialog itself
    UINT key;     // kClick: a mouse click
    unsigned modifiers;
    INT_PTR result;  // 0: the dialog stays open
  } rows[] = {
      {"click OK", kAboutTemplate, IDOK, kClick, 0, IDOK},
      {"Space on OK", kAboutTemplate, IDOK, VK_SPACE, 0, IDOK},
      {"Return on OK", kAboutTemplate, IDOK, VK_RETURN, 0, IDOK},
      {"Escape", kAboutTemplate, IDOK, VK_ESCAPE, 0, IDCANCEL},
      {"Alt+F4", kAboutTemplate, 0, VK_F4, morvek::testing::kAlt, IDCANCEL},
      {"Return in a list: the OK button", kSettingsTemplate, 1006, VK_RETURN, 0, IDOK},
      {"Return in an edit: the OK button", kSettingsTemplate, 1002, VK_RETURN, 0, IDOK},
      {"Return without an OK button does nothing", kMainTemplate, 1009, VK_RETURN, 0, 0},
      {"click Cancel", kMainTemplate, IDCANCEL, kClick, 0, IDCANCEL},
      {"Escape in the send box", kMainTemplate, 1002, VK_ESCAPE, 0, IDCANCEL},
  };
  constexpr INT_PTR kStillOpen = 1234;
  for (const Row& row : rows) {
    CDialog dialog(row.templateId);
    INT_PTR result = RunDialog(dialog, [&](CDialog& d) {
      HWND target = row.control ? GetDlgItem(d.m_hWnd, row.control) : d.m_hWnd;
      if (row.key == kClick) {
        morvek::testing::Click(target);
      } else {
        SendKey(target, row.key, row.modifiers);
      }
      if (IsWindow(d.m_hWnd)) d.EndDialog(static_cast<int>(kStillOpen));
    });
    EXPECT_EQ(result, row.result ? row.result : kStillOpen) << row.how;
  }
}

TEST(ModalDialogs, TheFirstTabStopHasTheFocusAndTheSendBoxKeepsReturn) {
  CDialog dialog(kMainTemplate);
  RunDialog(dialog, [&](CDialog& d) {
    EXPECT_EQ(GetFocus(), GetDlgItem(d.m_hWnd, IDCANCEL));  // first in template order
    HWND sendBox = GetDlgItem(d.m_hWnd, 1002);
    ASSERT_TRUE(morvek::testing::TypeText(sendBox, "ab"));
    SendKey(sendBox, VK_RETURN);
    SendKey(sendBox, 'C');
    EXPECT_EQ(morvek::testing::ShownText(sendBox), "ab\r\nc");
    CString text;
    d.GetDlgItem(1002)->GetWindowText(text);
    EXPECT_EQ(text, "ab\r\nc");
  });
}

constexpr UINT kAboutCommand = 0x0010;
constexpr UINT kKeyMenu = 0xF100;  // SC_KEYMENU: Alt+Space
const char* const kAboutEntry = "Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)...";

class KeyDialog : public CDialog {
 public:
  KeyDialog() : CDialog(kMainTemplate) {}
  std::vector<UINT> commands;
  INT_PTR aboutResult = 0;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    CMenu* menu = GetSystemMenu(FALSE);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, kAboutCommand, kAboutEntry);
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
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeyDialog, CDialog)
  ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

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
    EXPECT_TRUE(ChooseMenuEntry("閉じる(&C)\tAlt+F4"));
    EXPECT_FALSE(IsWindow(d.m_hWnd));
  }, pressOk);
  EXPECT_EQ(dialog.commands, (std::vector<UINT>{kKeyMenu, kAboutCommand, SC_CLOSE}));
  EXPECT_EQ(GetSystemMenu(nullptr, FALSE), nullptr);
  EXPECT_FALSE(AppendMenu(nullptr, MF_STRING, 1, "x"));
}

}  // namespace
