// The controls of a dialog. Their own messages (lists, checks)
// and notifications: a user's action notifies the dialog, the program's does
// not. Their texts as CP932 bytes: every byte string comes back as it was set,
// in every kind of edit; a string that grew by appending is taken as its tail
// only; data exchange moves bound members both ways, and what the user types
// reaches a member only through UpdateData(TRUE).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_runner.h"
#include "platform/text/cp932.h"

namespace {

using morvek::test::kMainTemplate;
using morvek::test::RunDialog;
using morvek::testing::FullTextRewrites;
using morvek::testing::ShownText;

constexpr int kButton = 1000;
constexpr int kSortedList = 1006;  // drop-down list with the sort style
constexpr int kCheckBox = 1015;
// The three kinds of edit in the main template.
constexpr int kLineEdit = 1009;  // single line, read-only
constexpr int kTextEdit = 1002;  // multi-line, editable
constexpr int kTextView = 1003;  // multi-line, read-only

class ControlDialog : public CDialog {
 public:
  ControlDialog() : CDialog(kMainTemplate) {}
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

BEGIN_MESSAGE_MAP(ControlDialog, CDialog)
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

TEST(ListControl, EntriesSearchSelectionAndNotifications) {
  ControlDialog dialog;
  RunDialog(dialog, [&](CDialog&) {
    CComboBox& list = dialog.m_cmbList;
    // Added at the end even in a sorted list; a search is by prefix, without
    // regard to ASCII case, from the first entry.
    for (const char* entry : {"送信", "cRLF", "NO", "CR"}) list.InsertString(-1, entry);
    EXPECT_EQ(list.InsertString(9, "far"), CB_ERR);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"送信", "cRLF", "NO", "CR"}));
    EXPECT_EQ(list.GetCurSel(), CB_ERR);  // adding selects nothing
    struct Find {
      const char* text;
      int found;
    } finds[] = {{"cr", 1}, {"CR", 1}, {"送", 0}, {"no", 2}, {"", 0}};
    for (const Find& find : finds) {
      list.SetCurSel(-1);
      EXPECT_EQ(list.SelectString(-1, find.text), find.found) << find.text;
      EXPECT_EQ(list.GetCurSel(), find.found) << find.text;
    }
    EXPECT_EQ(list.SelectString(-1, "missing"), CB_ERR);
    EXPECT_EQ(list.GetCurSel(), 0);  // a failed search leaves the selection
    EXPECT_EQ(list.SetCurSel(8), CB_ERR);  // outside: no selection
    EXPECT_EQ(list.GetCurSel(), CB_ERR);
    CString text("old");
    list.GetLBText(7, text);
    EXPECT_EQ(text, "");
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.SelectString(-1, "NO"), CB_ERR);

    // None of that notified; a user's choice, clicks and keys do.
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

std::string Decoded(const std::string& bytes) {
  return morvek::text::EncodeCp932(morvek::text::DecodeCp932(bytes));
}

std::string WindowBytes(CWnd& control) {
  CString text;
  control.GetWindowText(text);
  return std::string(text.View());
}

TEST(ControlTexts, EveryByteStringComesBackAsItWasSet) {
  std::string everyPair;
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      everyPair += static_cast<char>(first);
      everyPair += static_cast<char>(second);
    }
  }
  const std::vector<std::string> texts = {
      everyPair,
      "\x82",                // a lead byte alone at the end
      "text\x82",            // and after text
      "\x82\xa0\x81",        // a character, then a lone lead byte
      "\x80\xa0\xfd\xfe\xff",  // bytes that start no character
      "\xed\x40\xfa\x5c\x87\x40",  // NEC and IBM codes that share characters
      "\x81\x60\x5c\x7e",    // wave dash, backslash, tilde
      std::string("a\0b", 3),
      "",
  };
  CDialog dialog(kMainTemplate);
  RunDialog(dialog, [&](CDialog& d) {
    for (int id : {kLineEdit, kTextEdit, kTextView}) {
      CWnd& control = *d.GetDlgItem(id);
      for (const std::string& text : texts) {
        control.SetWindowText(CString(std::string_view(text)));
        EXPECT_TRUE(WindowBytes(control) == text) << id << ", " << text.size() << " bytes";
        EXPECT_EQ(control.GetWindowTextLength(), static_cast<int>(text.size())) << id;
      }
      // Shown: the decoding, with invalid bytes as visible substitutes that
      // encode back to themselves (a multi-line edit shows line breaks its way).
      if (id != kTextEdit) {
        control.SetWindowText(CString(std::string_view(everyPair)));
        EXPECT_TRUE(ShownText(control.m_hWnd) == Decoded(everyPair)) << id;
      }
      const std::string printable = "\x82\xa0\x80\xff\x82";
      control.SetWindowText(printable.c_str());
      EXPECT_EQ(ShownText(control.m_hWnd), Decoded(printable)) << id;
      char buffer[16] = {0};
      EXPECT_EQ(GetWindowText(control.m_hWnd, buffer, 4), 3) << id;  // truncated to the buffer
      EXPECT_EQ(std::string(buffer), printable.substr(0, 3)) << id;
    }
  });
}

TEST(ControlTexts, AStringThatGrewByAppendingIsTakenAsItsTail) {
  CDialog dialog(kMainTemplate);
  RunDialog(dialog, [&](CDialog& d) {
    for (int id : {kTextView, kTextEdit, kLineEdit}) {
      SCOPED_TRACE(id);
      CWnd& control = *d.GetDlgItem(id);
      HWND hwnd = control.m_hWnd;
      CString text;
      control.SetWindowText(text);
      int rewrites = FullTextRewrites(hwnd);
      const std::string block = "block of received text\r\n";
      for (int i = 0; i < 200; ++i) {
        text += block.c_str();
        control.SetWindowText(text);
      }
      if (id != kLineEdit) {
        EXPECT_EQ(FullTextRewrites(hwnd), rewrites);  // tails only
      }
      EXPECT_EQ(WindowBytes(control), std::string(text.View()));
      EXPECT_EQ(ShownText(hwnd), std::string(text.View()));

      struct Step {
        const char* what;
        CString next;
        int rewrites;  // full rewrites it costs
      } steps[] = {
          {"the same string again", text, 0},
          {"the same bytes, another string", CString(std::string_view(text.View())), 0},
          {"a prefix", text.Left(10), 1},
          {"a new string", CString("other"), 1},
      };
      for (const Step& step : steps) {
        int before = FullTextRewrites(hwnd);
        control.SetWindowText(step.next);
        EXPECT_EQ(FullTextRewrites(hwnd) - before, step.rewrites) << step.what;
        EXPECT_EQ(WindowBytes(control), std::string(step.next.View())) << step.what;
      }
      // A tail that finishes a double-byte character begun by the last shown
      // byte shows that character, as the whole text set at once does
      // ("\xED" alone starts no character, "\xDC" alone is a katakana).
      control.SetWindowText(CString("kanji \xED\xDC end"));
      const std::string whole = ShownText(hwnd);
      CString split("kanji \xED");
      control.SetWindowText(split);
      split += "\xDC end";
      control.SetWindowText(split);
      EXPECT_EQ(ShownText(hwnd), whole);

      // A copy that diverged no longer extends what the window shows.
      CString head("head");
      control.SetWindowText(head);
      CString copy = head;
      copy += "-copy";
      head += "-head";
      int before = FullTextRewrites(hwnd);
      control.SetWindowText(copy);
      control.SetWindowText(head);
      EXPECT_EQ(WindowBytes(control), "head-head");
      if (id != kLineEdit) {
        EXPECT_EQ(FullTextRewrites(hwnd) - before, 1);  // copy: its tail; head: in full
      }
    }
  });
}

class ExchangeDialog : public CDialog {
 public:
  ExchangeDialog() : CDialog(kMainTemplate) {}
  CButton m_btnSend;
  CString m_strFirst;
  CString m_strSend;
  CString m_strReceive;
  int changes = 0;

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, 1000, m_btnSend);
    DDX_Text(pDX, kLineEdit, m_strFirst);
    DDX_Text(pDX, kTextEdit, m_strSend);
    DDX_Text(pDX, kTextView, m_strReceive);
  }
  void OnSendChanged() { ++changes; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ExchangeDialog, CDialog)
  ON_EN_CHANGE(kTextEdit, OnSendChanged)
END_MESSAGE_MAP()

TEST(DataExchange, MembersMoveBothWaysInOrderAndTypingOnlyThroughUpdateData) {
  ExchangeDialog dialog;
  dialog.m_strFirst = "first";
  dialog.m_strSend = "to send";
  RunDialog(dialog, [&](CDialog&) {
    // OnInitDialog's UpdateData(FALSE).
    EXPECT_EQ(WindowBytes(*dialog.GetDlgItem(kLineEdit)), "first");
    EXPECT_EQ(WindowBytes(*dialog.GetDlgItem(kTextEdit)), "to send");
    EXPECT_EQ(dialog.GetDlgItem(1000), &dialog.m_btnSend);
    HWND bound = dialog.m_btnSend.m_hWnd;
    dialog.GetDlgItem(kLineEdit)->SetWindowText("changed");
    dialog.UpdateData(TRUE);
    EXPECT_EQ(dialog.m_strFirst, "changed");
    EXPECT_EQ(dialog.m_btnSend.m_hWnd, bound);  // bound once

    ASSERT_TRUE(morvek::testing::TypeText(dialog.GetDlgItem(kTextEdit)->m_hWnd, "typed\r\nline"));
    EXPECT_EQ(dialog.changes, 1);
    EXPECT_EQ(dialog.m_strSend, "to send");  // not before the exchange
    dialog.UpdateData(TRUE);
    EXPECT_EQ(dialog.m_strSend, "typed\r\nline");
    dialog.GetDlgItem(kTextEdit)->SetWindowText("set by the program");
    EXPECT_EQ(dialog.changes, 1);  // the program's changes do not notify

    // A large member the window already shows is not read back at all.
    for (int i = 0; i < 4096; ++i) dialog.m_strReceive += "0123456789abcdef";
    dialog.UpdateData(FALSE);
    auto lineage = dialog.m_strReceive.GetLineage();
    dialog.UpdateData(TRUE);
    EXPECT_EQ(dialog.m_strReceive.GetLineage(), lineage);
    EXPECT_EQ(dialog.m_strReceive.GetLength(), 65536);
  });
}

}  // namespace
