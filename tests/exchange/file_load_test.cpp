// Loading a text file into the send box through the real dialog: line endings,
// chunk boundaries, text-mode ends, the opening check and its messages.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "exchange/reader_thread.h"
#include "res/resource.h"
#include "support/terminal_test.h"

namespace {

using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::PressButton;
using morvek::test::TypeSendText;
using morvek::test::WriteFileBytes;
using morvek::testing::ScriptFileDialog;
using morvek::testing::VirtualPort;
namespace fs = std::filesystem;

// The send box, its count, the file name shown and the load button's caption.
using Shown = std::vector<std::string>;
Shown SendSide(CTerminalDlg& dlg) {
  return {ControlText(dlg, IDC_SEND_BOX), ControlText(dlg, IDC_SEND_COUNT), ControlText(dlg, IDC_FILE_NAME),
          ControlText(dlg, IDC_FILE_SELECT)};
}
const char kIdleCaption[] = "ファイル選択";

class FileLoadTest : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    m_port = VirtualPort::Install(1);
  }
  std::shared_ptr<VirtualPort> m_port;
};

TEST_F(FileLoadTest, TheFileReplacesTheSendBoxWithEveryLineEndingAsCrLf) {
  std::string longLine(2500, 'L');
  struct Case {
    const char* name;
    std::string file, box;
  } cases[] = {
      {"LF endings", "one\ntwo\n", "one\r\ntwo\r\n"},
      {"CR LF endings", "one\r\ntwo\r\n", "one\r\ntwo\r\n"},
      {"last line without ending", "one\ntwo", "one\r\ntwo"},
      {"one line, no ending", "A\nB", "A\r\nB"},
      {"empty file", "", ""},
      {"empty lines", "\n\n", "\r\n\r\n"},
      {"lone CR stays", "a\rb\n", "a\rb\r\n"},
      {"1022 characters and LF", std::string(1022, 'x') + "\n", std::string(1022, 'x') + "\r\n"},
      {"1023 characters and LF", std::string(1023, 'x') + "\n", std::string(1023, 'x') + "\r\n"},
      {"1024 characters and LF", std::string(1024, 'x') + "\n", std::string(1024, 'x') + "\r\n"},
      {"a line longer than a chunk", longLine + "\nend\n", longLine + "\r\nend\r\n"},
      {"CR LF across a chunk end", std::string(1022, 'y') + "\r\nz", std::string(1022, 'y') + "\r\nz"},
      {"Ctrl-Z ends the text", "ab\ncd\x1a" "ef\n", "ab\r\ncd"},
      {"a NUL loses the rest of its chunk", std::string("ab\0cd\nef\n", 9), "abef\r\n"},
      {"Shift-JIS text as it is", "送信\n\x82\xa0", "送信\r\n\x82\xa0"},
  };
  Run([&](CTerminalDlg& dlg) {
    for (const Case& c : cases) {
      WriteFileBytes("load.txt", c.file);
      TypeSendText(dlg, "previous text");
      ScriptFileDialog("load.txt");
      PressButton(dlg, IDC_FILE_SELECT);
      const Shown expected{c.box, std::to_string(c.box.size()), fs::absolute("load.txt").string(), kIdleCaption};
      EXPECT_EQ(SendSide(dlg), expected) << c.name;
    }
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(FileLoadTest, AFileThatCannotBeLoadedChangesNothing) {
  fs::create_directory("folder");
  WriteFileBytes("held.txt", "held\n");
  struct Case {
    const char* name;
    std::optional<std::string> chosen;
    bool message;
  } cases[] = {
      {"dialog cancelled", std::nullopt, false},
      {"missing file", std::string("missing.txt"), true},
      {"a folder", std::string("folder"), true},
      {"held by another opener", std::string("held.txt"), true},
  };
  Run([&](CTerminalDlg& dlg) {
    CFile holder;
    ASSERT_TRUE(holder.Open("held.txt", CFile::modeRead | CFile::shareExclusive));
    for (const Case& c : cases) {
      TypeSendText(dlg, "kept");
      ScriptFileDialog(c.chosen);
      PressButton(dlg, IDC_FILE_SELECT);
      std::vector<std::string> messages = MessagesShown();
      ASSERT_EQ(messages.size(), c.message ? 1u : 0u) << c.name;
      if (c.message) {
        EXPECT_NE(messages[0].find(*c.chosen), std::string::npos) << c.name << ": " << messages[0];
      }
      EXPECT_EQ(SendSide(dlg), (Shown{"kept", "", "", kIdleCaption})) << c.name;
    }
    holder.Close();
  });
}

TEST_F(FileLoadTest, TheWindowKeepsHandlingMessagesBetweenChunks) {
  std::string file;
  for (int i = 0; i < 20000; ++i) file += "line of text " + std::to_string(i) + "\n";
  WriteFileBytes("big.txt", file);
  Run([&](CTerminalDlg& dlg) {
    // A received block already waiting is shown during the load, not after it.
    HGLOBAL hBlock = GlobalAlloc(GMEM_ZEROINIT, 3);
    void* pBlock = GlobalLock(hBlock);
    std::memcpy(pBlock, "rx!", 3);
    ASSERT_TRUE(dlg.PostMessage(WM_COMM_RXDATA, reinterpret_cast<WPARAM>(pBlock), 3));
    // The button's caption and the wait cursor show that the load is running.
    HWND button = dlg.GetDlgItem(IDC_FILE_SELECT)->m_hWnd;
    const auto idleButton = morvek::testing::ScreenImage(button);
    int ticks = 0;
    morvek::test::TimerHook hook(dlg, 0, [&] {
      if (ticks++ > 0) return;
      EXPECT_EQ(morvek::testing::ShownText(button), "読み出し中");
      EXPECT_NE(morvek::testing::ScreenImage(button).pixels, idleButton.pixels);
      EXPECT_TRUE(morvek::testing::WaitCursorShown());
    });
    ScriptFileDialog("big.txt");
    PressButton(dlg, IDC_FILE_SELECT);
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(morvek::testing::WaitCursorShown());
    EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX), "rx!");
    std::string box = ControlText(dlg, IDC_SEND_BOX);
    EXPECT_EQ(box.size(), file.size() + 20000);
    EXPECT_EQ(box.substr(0, 30), "line of text 0\r\nline of text 1");
  });
  EXPECT_TRUE(MessagesShown().empty());
}

}  // namespace
