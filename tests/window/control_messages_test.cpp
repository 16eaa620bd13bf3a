// The controls' own messages (lists, checks, selections, places) and their
// notifications: a user's action notifies the dialog, the program's does not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_runner.h"

namespace {

using morvek::test::kMainTemplate;
using morvek::test::RunDialog;

constexpr int kSortedList = 1006;  // drop-down list with the sort style
constexpr int kCheckBox = 1015;
constexpr int kButton = 1000;

class NotifyDialog : public CDialog {
 public:
  NotifyDialog() : CDialog(kMainTemplate) {}
  CComboBox m_cmbList;
  CButton m_chkBox;
  std::vector<std::string> notes;

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, kSortedList, m_cmbList);
    DDX_Control(pDX, kCheckBox, m_chkBox);
  }
  void OnPick() { notes.push_back("pick " + std::to_string(m_cmbList.GetCurSel())); }
  void OnCheck() { notes.push_back("check " + std::to_string(m_chkBox.GetCheck())); }
  void OnButton() { notes.push_back("button"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NotifyDialog, CDialog)
  ON_CBN_SELCHANGE(kSortedList, OnPick)
  ON_BN_CLICKED(kCheckBox, OnCheck)
  ON_BN_CLICKED(kButton, OnButton)
END_MESSAGE_MAP()

std::vector<std::string> Entries(CComboBox& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.GetCount(); ++i) {
    CString text;
    list.GetLBText(i, text);
    entries.push_back(std::string(text.View()));
  }
  return entries;
}

TEST(ListControl, PositionsSortingSearchAndSelection) {
  NotifyDialog dialog;
  RunDialog(dialog, [&](CDialog&) {
    CComboBox& list = dialog.m_cmbList;
    // AddString keeps a sorted list sorted, without regard to ASCII case.
    for (const char* entry : {"NO", "cRLF", "HEX", "CR"}) list.AddString(entry);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"CR", "cRLF", "HEX", "NO"}));
    list.ResetContent();
    // Explicit positions are never sorted.
    EXPECT_EQ(list.InsertString(-1, "NO"), 0);
    EXPECT_EQ(list.InsertString(-1, "CR"), 1);
    EXPECT_EQ(list.InsertString(0, "送信"), 0);
    EXPECT_EQ(list.InsertString(1, "cRLF"), 1);
    EXPECT_EQ(list.InsertString(9, "far"), CB_ERR);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"送信", "cRLF", "NO", "CR"}));
    EXPECT_EQ(list.GetCurSel(), CB_ERR);  // adding selects nothing

    struct Find {
      int startAfter;
      const char* text;
      int found;
    } finds[] = {
        {-1, "cr", 1}, {1, "CR", 3}, {3, "cr", 1}, {-1, "送", 0}, {-1, "x", CB_ERR}, {-1, "", 0}, {2, "", 3}, {99, "NO", 2},
    };
    for (const Find& find : finds) {
      EXPECT_EQ(list.FindString(find.startAfter, find.text), find.found) << find.startAfter << " " << find.text;
    }
    EXPECT_EQ(list.SelectString(-1, "no"), 2);
    EXPECT_EQ(list.SelectString(-1, "missing"), CB_ERR);
    EXPECT_EQ(list.GetCurSel(), 2);  // a failed search leaves the selection
    EXPECT_EQ(list.GetLBTextLen(0), 4);
    EXPECT_EQ(list.GetLBTextLen(7), CB_ERR);
    char text[8] = {0};
    EXPECT_EQ(list.GetLBText(9, text), CB_ERR);
    EXPECT_EQ(list.SetCurSel(8), CB_ERR);  // outside: no selection
    EXPECT_EQ(list.GetCurSel(), CB_ERR);
    list.SetCurSel(0);
    EXPECT_EQ(list.DeleteString(0), 3);
    EXPECT_EQ(list.DeleteString(5), CB_ERR);
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.FindString(-1, "NO"), CB_ERR);
    EXPECT_TRUE(dialog.notes.empty());  // none of it notified
  });
}

TEST(ControlNotifications, UserActionsNotifyAndTheProgramsDoNot) {
  NotifyDialog dialog;
  RunDialog(dialog, [&](CDialog&) {
    for (const char* entry : {"ASCII", "HEX"}) dialog.m_cmbList.InsertString(-1, entry);
    dialog.m_cmbList.SetCurSel(0);
    dialog.m_chkBox.SetCheck(BST_CHECKED);
    dialog.m_chkBox.SetCheck(BST_UNCHECKED);
    EXPECT_TRUE(dialog.notes.empty());

    EXPECT_TRUE(morvek::testing::ChooseComboEntry(dialog.m_cmbList.m_hWnd, 1));
    EXPECT_FALSE(morvek::testing::ChooseComboEntry(dialog.m_cmbList.m_hWnd, 2));
    morvek::testing::Click(dialog.m_chkBox.m_hWnd);        // toggled before it notifies
    morvek::testing::SendKey(dialog.m_chkBox.m_hWnd, VK_SPACE);
    SendMessage(GetDlgItem(dialog.m_hWnd, kButton), BM_CLICK, 0, 0);
    EnableWindow(GetDlgItem(dialog.m_hWnd, kButton), FALSE);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.m_hWnd, kButton)));
    morvek::testing::Click(GetDlgItem(dialog.m_hWnd, kButton));  // disabled: nothing
    EXPECT_EQ(dialog.notes, (std::vector<std::string>{"pick 1", "check 1", "check 0", "button"}));
  });
}

class EditDialog : public CDialog {
 public:
  EditDialog() : CDialog(kMainTemplate) {}
  CEdit m_editSend;
  CEdit m_editReceive;
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, 1002, m_editSend);
    DDX_Control(pDX, 1003, m_editReceive);
  }
};

TEST(EditControl, SelectionReplacementAndLineCount) {
  EditDialog dialog;
  RunDialog(dialog, [&](CDialog&) {
    for (CEdit* box : {&dialog.m_editSend, &dialog.m_editReceive}) {
      CEdit& edit = *box;
      SCOPED_TRACE(edit.GetDlgCtrlID());
      EXPECT_EQ(edit.GetLineCount(), 1);  // empty: one line
      edit.SetWindowText("one\r\n送信");
      EXPECT_EQ(edit.GetLineCount(), 2);
      edit.SetSel(-1, -1);
      int length = edit.GetWindowTextLength();
      edit.SetSel(length, length);
      edit.ReplaceSel("\r\nend");
      CString text;
      edit.GetWindowText(text);
      EXPECT_EQ(text, "one\r\n送信\r\nend");
      EXPECT_EQ(edit.GetLineCount(), 3);
    }
    CEdit& edit = dialog.m_editSend;
    edit.SetSel(5, 7);  // the character 送 (two bytes)
    edit.ReplaceSel("受");
    DWORD start = 0, end = 0;
    edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 7u);
    EXPECT_EQ(end, 7u);
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "one\r\n受信\r\nend");
  });
}

}  // namespace
