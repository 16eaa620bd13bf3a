// Received blocks in the receive box through the real dialog and reader on a
// virtual port: each display format, the count, what must not be disturbed.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "exchange/reader_thread.h"
#include "res/resource.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::SelectEntry;
using morvek::test::TypeSendText;
using morvek::testing::PumpUntil;
using morvek::testing::VirtualPort;

// Every byte value, 0x00 last.
std::string AllBytes() {
  std::string all;
  for (int b = 1; b <= 256; ++b) all += static_cast<char>(b);
  return all;
}

class ReceiveDisplayTest : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    m_port = VirtualPort::Install(1);
  }

  // Lets one burst arrive and waits until the box has grown to `expected`.
  bool Receive(CTerminalDlg& dlg, const std::string& bytes, const std::string& expected) {
    m_port->InjectReceived(bytes);
    return PumpUntil([&] { return ControlText(dlg, IDC_RECEIVE_BOX).size() >= expected.size(); }, 30s) &&
           ControlText(dlg, IDC_RECEIVE_BOX) == expected;
  }

  std::shared_ptr<VirtualPort> m_port;
};

TEST_F(ReceiveDisplayTest, EachFormatAppendsItsTextAndTheCountCountsTheBox) {
  struct Case {
    int format;
    std::string block, added;
  } cases[] = {
      {0, std::string("A\0B", 3), "A~B"},
      {1, "Hi", "Hi\r\n"},
      {2, std::string("\x0a\xff\x00", 3), " 0A FF 00"},
      {3, "1", " 31\r\n"},
      {0, "\x82\xa0\x81", "\x82\xa0\x81"},  // bytes of any value, a lone lead byte too
      {2, "\x41", " 41"},
      {2, "\x42", " 42"},  // HEX blocks join without a seam
      {1, std::string(1, '\0'), "~\r\n"},
      {0, AllBytes(), AllBytes().substr(0, 255) + "~"},  // every byte value as it is
  };
  Run([&](CTerminalDlg& dlg) {
    EXPECT_EQ(ControlText(dlg, IDC_RECV_COUNT), "");  // empty, not 0, before the first block
    std::string box;
    for (const Case& c : cases) {
      SelectEntry(dlg, dlg.m_cmbDisplay, c.format);
      box += c.added;
      EXPECT_TRUE(Receive(dlg, c.block, box)) << ControlText(dlg, IDC_RECEIVE_BOX);
      EXPECT_EQ(ControlText(dlg, IDC_RECV_COUNT), std::to_string(box.size()));
      EXPECT_EQ(std::string(dlg.m_strReceive.View()), box);
    }
  });
  EXPECT_TRUE(MessagesShown().empty());
}

// A block rewrites only the receive box and its count; a format change leaves
// the shown text alone; the error message replaces the text and keeps the count.
TEST_F(ReceiveDisplayTest, ABlockTouchesOnlyTheReceiveBoxAndTheErrorReplacesItsText) {
  Run([&](CTerminalDlg& dlg) {
    ASSERT_TRUE(PumpUntil([&] { return !ControlText(dlg, IDC_DSR).empty(); }, 30s));
    TypeSendText(dlg, "typed, not yet sent");
    EXPECT_TRUE(Receive(dlg, "AB", "AB"));
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "typed, not yet sent");
    EXPECT_FALSE(ControlText(dlg, IDC_DSR).empty());
    SelectEntry(dlg, dlg.m_cmbDisplay, 2);
    EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX), "AB");
    EXPECT_TRUE(Receive(dlg, "C", "AB 43"));
    dlg.SendMessage(WM_COMM_RXERROR, 0, 0);
    EXPECT_EQ(ControlText(dlg, IDC_RECEIVE_BOX), "エラー");
    EXPECT_EQ(ControlText(dlg, IDC_RECV_COUNT), "5");
  });
}

}  // namespace
