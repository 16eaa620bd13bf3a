// The send path through the real dialog on a virtual port: the exact bytes and
// writes of every format, the piece boundaries, the three messages, the count
// and what the busy flag does to auto-send.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "res/resource.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::PressButton;
using morvek::test::SelectEntry;
using morvek::test::TypeSendText;
using morvek::testing::PumpUntil;
using morvek::testing::VirtualPort;

enum Format { kNo, kCr, kLf, kCrLf, kHex };

// n bytes of text that use every byte value but 0x00, in an order that shows a
// misplaced piece.
std::string Text(size_t n) {
  std::string text;
  for (size_t i = 0; i < n; ++i) text += static_cast<char>(1 + (i * 131 + i / 255) % 255);
  return text;
}

// n hex digits (n even), and the bytes they spell.
std::string Digits(size_t n) {
  static const char kDigits[] = "0123456789abcdefABCDEF";
  std::string digits;
  for (size_t i = 0; i < n; ++i) digits += kDigits[(i * 7 + i / 22) % 22];
  return digits;
}
std::string BytesOf(const std::string& digits) {
  std::string bytes;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
  return bytes;
}

class SendPathTest : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    m_port = VirtualPort::Install(1);
  }

  // Presses Send and returns the sizes of the writes it made.
  std::vector<size_t> Send(CTerminalDlg& dlg) {
    size_t before = m_port->WriteSizes().size();
    PressButton(dlg, IDC_SEND);
    std::vector<size_t> sizes = m_port->WriteSizes();
    sizes.erase(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(before));
    return sizes;
  }

  std::shared_ptr<VirtualPort> m_port;
};

// After a send: the count, the send box, the button's caption and the busy mark.
using SendState = std::tuple<std::string, std::string, std::string, int>;
SendState StateAfterSend(CTerminalDlg& dlg) {
  return {ControlText(dlg, IDC_SEND_COUNT), ControlText(dlg, IDC_SEND_BOX), ControlText(dlg, IDC_SEND), dlg.m_bSending};
}

TEST_F(SendPathTest, EveryFormatWritesPiecesOf4094WithTheEndingOnceAfterTheText) {
  struct Case {
    const char* name;
    int format;
    std::string text, bytes;
    std::vector<size_t> writes;
  } cases[] = {
      {"CRLF AT", kCrLf, "AT", "AT\r\n", {4}},
      {"NO two lines", kNo, "A\r\nB", "A\r\nB", {4}},
      {"CR one byte", kCr, "x", "x\r", {2}},
      {"CRLF double-byte text", kCrLf, "送信", "送信\r\n", {6}},
      {"NO 4093", kNo, Text(4093), Text(4093), {4093}},
      {"CRLF 4093", kCrLf, Text(4093), Text(4093) + "\r\n", {4095}},
      {"NO 4094", kNo, Text(4094), Text(4094), {4094, 0}},
      {"LF 4094", kLf, Text(4094), Text(4094) + "\n", {4094, 1}},
      {"NO 4095", kNo, Text(4095), Text(4095), {4094, 1}},
      {"CR 5000", kCr, Text(5000), Text(5000) + "\r", {4094, 907}},
      {"CRLF 8188", kCrLf, Text(8188), Text(8188) + "\r\n", {4094, 4094, 2}},
      {"NO 8189", kNo, Text(8189), Text(8189), {4094, 4094, 1}},
      {"HEX example", kHex, "0d0A00ff", std::string("\x0d\x0a\x00\xff", 4), {4}},
      {"HEX zero bytes", kHex, "0000", std::string(2, '\0'), {2}},
      {"HEX 4094 digits", kHex, Digits(4094), BytesOf(Digits(4094)), {2047, 0}},
      {"HEX 8190 digits", kHex, Digits(8190), BytesOf(Digits(8190)), {2047, 2047, 1}},
  };
  Run([&](CTerminalDlg& dlg) {
    for (const Case& c : cases) {
      SelectEntry(dlg, dlg.m_cmbSendFormat, c.format);
      TypeSendText(dlg, c.text);
      m_port->TakeWritten();
      SCOPED_TRACE(c.name);
      EXPECT_EQ(Send(dlg), c.writes);
      EXPECT_EQ(m_port->TakeWritten(), c.bytes);
      EXPECT_EQ(StateAfterSend(dlg), SendState(std::to_string(c.text.size()), c.text, "送信", 0));
    }
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(SendPathTest, RefusedSendsShowTheirMessageWriteNothingAndStayMarkedRunning) {
  struct Case {
    const char* name;
    int format;
    std::string text;
    bool failWrites;
    std::vector<std::string> messages;
  } cases[] = {
      {"HEX with a blank", kHex, "41 42", false, {"入力文字がHEXではありません"}},
      {"HEX odd count", kHex, "414", false, {"入力文字数が偶数個ではありません"}},
      {"HEX odd and not hex", kHex, "4G4", false, {"入力文字がHEXではありません"}},
      {"HEX with a line break", kHex, "41\r\n42", false, {"入力文字がHEXではありません"}},
      {"empty box", kCrLf, "", false, {}},
      {"empty box in HEX", kHex, "", false, {}},
      {"write refused", kNo, "hello", true, {"送信に失敗しました"}},
      {"long write refused", kCr, Text(9000), true, {"送信に失敗しました"}},
      {"HEX write refused", kHex, "41", true, {"送信に失敗しました"}},
  };
  Run([&](CTerminalDlg& dlg) {
    std::string captionDuringMessage;
    morvek::testing::OnMessageBox([&](const std::string&) { captionDuringMessage = ControlText(dlg, IDC_SEND); });
    for (const Case& c : cases) {
      SelectEntry(dlg, dlg.m_cmbSendFormat, c.format);
      TypeSendText(dlg, c.text);
      m_port->FailWrites(c.failWrites);
      m_port->TakeWritten();
      captionDuringMessage.clear();
      SCOPED_TRACE(c.name);
      Send(dlg);
      EXPECT_EQ(MessagesShown(), c.messages);
      EXPECT_EQ(captionDuringMessage, c.messages.empty() ? "" : "送信中");
      EXPECT_EQ(m_port->TakeWritten(), "");
      EXPECT_EQ(StateAfterSend(dlg), SendState(std::to_string(c.text.size()), c.text, "送信", 1));
    }
    // The next send that runs to its end clears the mark.
    m_port->FailWrites(false);
    SelectEntry(dlg, dlg.m_cmbSendFormat, kNo);
    TypeSendText(dlg, "ok");
    Send(dlg);
    EXPECT_EQ(m_port->TakeWritten(), "ok");
    EXPECT_EQ(dlg.m_bSending, 0);
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(SendPathTest, AutoSendFollowsTheChosenIntervalTheBoxAndTheBusyMark) {
  Run([&](CTerminalDlg& dlg) {
    int messages = 0;
    morvek::testing::OnMessageBox([&](const std::string&) { ++messages; });

    // Waits, letting the timers run, until `count` bytes have gone out.
    std::string written;
    auto pumpUntilWritten = [&](size_t count) {
      return PumpUntil([&] { return (written += m_port->TakeWritten()).size() >= count; }, 30s);
    };

    // "100MS" sends the box on its own, as the button would, and picks up edits.
    TypeSendText(dlg, "A");
    SelectEntry(dlg, dlg.m_cmbInterval, 1);
    EXPECT_TRUE(pumpUntilWritten(3));
    TypeSendText(dlg, "B");
    EXPECT_TRUE(PumpUntil([&] { return m_port->TakeWritten().find('B') != std::string::npos; }, 30s));

    // "NO" stops it, although every timer keeps running.
    SelectEntry(dlg, dlg.m_cmbInterval, 0);
    m_port->TakeWritten();
    PumpUntil([] { return false; }, 350ms);
    EXPECT_EQ(m_port->TakeWritten(), "");

    // A refused automatic send shows its message once and pauses auto-send...
    SelectEntry(dlg, dlg.m_cmbSendFormat, kHex);
    TypeSendText(dlg, "zz");
    SelectEntry(dlg, dlg.m_cmbInterval, 1);
    EXPECT_TRUE(PumpUntil([&] { return messages == 1; }, 30s));
    EXPECT_FALSE(PumpUntil([&] { return messages > 1; }, 350ms));
    EXPECT_EQ(dlg.m_nInterval, 1);
    EXPECT_EQ(dlg.m_bSending, 1);

    // ...until a send started with the button runs to its end.
    TypeSendText(dlg, "41");
    PressButton(dlg, IDC_SEND);
    EXPECT_EQ(dlg.m_bSending, 0);
    written.clear();
    EXPECT_TRUE(pumpUntilWritten(3));
    EXPECT_EQ(written.find_first_not_of('A'), std::string::npos) << written;
    SelectEntry(dlg, dlg.m_cmbInterval, 0);
  });
  MessagesShown();
}

// A send held by flow control: while it waits the window shows that it is busy,
// shows received blocks and the modem lines, and skips auto-send; the
// operator's key, click and close wait until the send has ended.
TEST_F(SendPathTest, AHeldSendKeepsTheWindowAliveAndHoldsTheOperatorsInputUntilItEnds) {
  bool inputGiven = false;
  bool sawEverything = false;
  Run([&](CTerminalDlg& dlg) {
    SelectEntry(dlg, dlg.m_cmbSendFormat, kNo);
    SelectEntry(dlg, dlg.m_cmbInterval, 1);  // auto-send every 100 ms
    TypeSendText(dlg, "held");
    m_port->TakeWritten();
    const size_t writesBefore = m_port->WriteSizes().size();
    m_port->HoldWrites(true);
    morvek::test::TimerHook hook(dlg, 10, [&] {
      if (!inputGiven) {
        inputGiven = true;
        EXPECT_EQ(morvek::testing::ShownText(dlg.GetDlgItem(IDC_SEND)->m_hWnd), "送信中");
        EXPECT_TRUE(morvek::testing::WaitCursorShown());
        m_port->InjectReceived("RX!");
        m_port->SetModemStatus(MS_CTS_ON);
        morvek::testing::SendKey(dlg.GetDlgItem(IDC_SEND_BOX)->m_hWnd, 'X');
        morvek::testing::Click(dlg.GetDlgItem(IDC_CLEAR_RECEIVE)->m_hWnd);
        morvek::testing::RequestClose(dlg.m_hWnd);
        return;
      }
      if (sawEverything || ControlText(dlg, IDC_RECEIVE_BOX).find("RX!") == std::string::npos ||
          ControlText(dlg, IDC_CTS) != "ON") {
        return;
      }
      sawEverything = true;
      EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "held");
      EXPECT_EQ(m_port->OpenCount(), 1);  // not closed
      EXPECT_EQ(dlg.m_bSending, 1);
      EXPECT_EQ(m_port->WriteSizes().size(), writesBefore + 1);
      m_port->HoldWrites(false);
    });
    morvek::testing::Click(dlg.GetDlgItem(IDC_SEND)->m_hWnd);
    m_port->HoldWrites(false);
    SelectEntry(dlg, dlg.m_cmbInterval, 0);
    EXPECT_TRUE(sawEverything);
    EXPECT_EQ(m_port->TakeWritten(), "held");
    EXPECT_EQ(ControlText(dlg, IDC_SEND), "送信");
    EXPECT_FALSE(morvek::testing::WaitCursorShown());
    EXPECT_TRUE(MessagesShown().empty());

    // Then the held input arrives, in its order: the key, the click, the close.
    EXPECT_TRUE(PumpUntil([&] { return m_port->OpenCount() == 0; }, 30s));  // closed
    EXPECT_NE(dlg.m_strSend.View().find('x'), std::string::npos) << dlg.m_strSend.View();
    EXPECT_EQ(dlg.m_strReceive.View().find("RX!"), std::string::npos);
  });
}

}  // namespace
