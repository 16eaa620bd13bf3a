// Modal dialogs: OnInitDialog before the first showing (with nested dialogs and
// message boxes, or ending the dialog at once), the owner while a dialog runs,
// the window's end, and the ways a user ends a dialog. The input bound for a
// dialog's controls: the dialog's PreTranslateMessage sees each key and mouse
// button first and may consume it; F1 asks for help; the system menu opens
// from the keyboard and the mouse and sends its commands.
#include <gtest/gtest.h>

#include <set>
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

std::vector<std::string> g_events;

class NestingDialog : public CDialog {
 public:
  NestingDialog() : CDialog(kAboutTemplate) {}
  INT_PTR nestedResult = 0;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    g_events.push_back("init");
    MessageBox("message during init");  // the window's own box
    CDialog nested(kSettingsTemplate, this);
    nestedResult = nested.DoModal();
    g_events.push_back("init done");
    return TRUE;
  }
};

class EndingDialog : public CDialog {
 public:
  EndingDialog() : CDialog(kAboutTemplate) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    EndDialog(77);
    return TRUE;
  }
};

class BoundDialog : public CDialog {
 public:
  BoundDialog() : CDialog(kSettingsTemplate) {}
  CComboBox m_cmbPort;
  CButton m_btnOk;
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, 1007, m_cmbPort);
    DDX_Control(pDX, IDOK, m_btnOk);
  }
};

TEST(ModalDialogs, OnInitDialogRunsBeforeTheFirstShowingAndMayRunDialogsAndMessageBoxes) {
  g_events.clear();
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
  morvek::testing::OnMessageBox([](const std::string& text) { g_events.push_back("box: " + text); });
  NestingDialog dialog;
  BOOL ownerEnabledWhileNested = TRUE;
  INT_PTR result = RunDialog(
      dialog,
      [&](CDialog&) {
        g_events.push_back("up");
        EXPECT_TRUE(IsWindowEnabled(dialog.m_hWnd));  // enabled again after the nested dialog
      },
      [&](CDialog& nested) {
        g_events.push_back("nested up");
        ownerEnabledWhileNested = IsWindowEnabled(dialog.m_hWnd);
        morvek::testing::Click(GetDlgItem(nested.m_hWnd, IDOK));
      });
  morvek::testing::OnMessageBox(nullptr);
  morvek::testing::CaptureMessageBoxes(false);
  EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), std::vector<std::string>{"message during init"});
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(dialog.nestedResult, IDOK);
  EXPECT_FALSE(ownerEnabledWhileNested);
  EXPECT_EQ(g_events, (std::vector<std::string>{"init", "box: message during init", "nested up", "init done", "up"}));
}

TEST(ModalDialogs, EndDialogInOnInitDialogReturnsWithoutShowing) {
  EndingDialog dialog;
  bool shown = false;
  EXPECT_EQ(RunDialog(dialog, [&](CDialog&) { shown = true; }), 77);
  EXPECT_FALSE(shown);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  EXPECT_EQ(CDialog(9999).DoModal(), -1);  // no such template
}

TEST(ModalDialogs, TheWindowAndItsControlsAreGoneWhenDoModalReturnsAndCanBeMadeAgain) {
  BoundDialog dialog;
  std::vector<HWND> windows;
  for (int run = 0; run < 2; ++run) {
    RunDialog(dialog, [&](CDialog&) {
      dialog.UpdateData(FALSE);  // binds the members
      ASSERT_TRUE(IsWindow(dialog.m_cmbPort.m_hWnd));
      EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_cmbPort.m_hWnd), &dialog.m_cmbPort);
      EXPECT_EQ(dialog.GetDlgItem(1007), &dialog.m_cmbPort);
      windows = {dialog.m_hWnd, dialog.m_cmbPort.m_hWnd, dialog.m_btnOk.m_hWnd, GetDlgItem(dialog.m_hWnd, 1002)};
    });
    for (HWND window : windows) EXPECT_FALSE(IsWindow(window)) << run;
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_cmbPort.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_btnOk.m_hWnd, nullptr);
  }
}

TEST(ModalDialogs, TheUsersWaysToEndADialogGiveOkOrCancel) {
  using morvek::testing::kAlt;
  struct Row {
    const char* how;
    UINT templateId;
    void (*act)(CDialog&);
    INT_PTR result;  // 0: the dialog stays open
  } rows[] = {
      {"click OK", kAboutTemplate, [](CDialog& d) { morvek::testing::Click(GetDlgItem(d.m_hWnd, IDOK)); }, IDOK},
      {"Space on OK", kAboutTemplate, [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, IDOK), VK_SPACE); },
       IDOK},
      {"Return on OK", kAboutTemplate,
       [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, IDOK), VK_RETURN); }, IDOK},
      {"BM_CLICK on OK", kAboutTemplate, [](CDialog& d) { SendMessage(GetDlgItem(d.m_hWnd, IDOK), BM_CLICK, 0, 0); },
       IDOK},
      {"Escape", kAboutTemplate, [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, IDOK), VK_ESCAPE); },
       IDCANCEL},
      {"Alt+F4", kAboutTemplate, [](CDialog& d) { morvek::testing::SendKey(d.m_hWnd, VK_F4, kAlt); }, IDCANCEL},
      {"close box", kAboutTemplate, [](CDialog& d) { d.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
      {"Return in a list: the OK button", kSettingsTemplate,
       [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, 1006), VK_RETURN); }, IDOK},
      {"Return in an edit: the OK button", kSettingsTemplate,
       [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, 1002), VK_RETURN); }, IDOK},
      {"Return without an OK button does nothing", kMainTemplate,
       [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, 1009), VK_RETURN); }, 0},
      {"Return in the send box makes a line break", kMainTemplate,
       [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, 1002), VK_RETURN); }, 0},
      {"click Cancel", kMainTemplate, [](CDialog& d) { morvek::testing::Click(GetDlgItem(d.m_hWnd, IDCANCEL)); },
       IDCANCEL},
      {"Escape in the send box", kMainTemplate,
       [](CDialog& d) { morvek::testing::SendKey(GetDlgItem(d.m_hWnd, 1002), VK_ESCAPE); }, IDCANCEL},
  };
  constexpr INT_PTR kStillOpen = 1234;
  for (const Row& row : rows) {
    CDialog dialog(row.templateId);
    INT_PTR result = RunDialog(dialog, [&](CDialog& d) {
      row.act(d);
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
    morvek::testing::SendKey(sendBox, VK_RETURN);
    morvek::testing::SendKey(sendBox, 'C');
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
