// The running terminal when its line goes wrong: a device that goes away mid
// burst, mid send or under auto-send, and a port that fails reads, writes or
// status queries. The window keeps working, nothing received is lost or
// reordered, and selecting the port anew brings it all back.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing.h"
#include "port/serial_driver.h"
#include "res/resource.h"
#include "support/pty_peer.h"
#include "support/stable_names.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ControlText;
using morvek::test::MessagesShown;
using morvek::test::PressButton;
using morvek::test::PtyPeer;
using morvek::test::SelectEntry;
using morvek::test::TypeSendText;
using morvek::testing::PumpUntil;
using morvek::testing::VirtualPort;

const std::string kSendFailed = "送信に失敗しました";

// Numbered lines of 80 characters, so that a lost or repeated piece shows.
std::string NumberedLines(size_t bytes) {
  std::string text;
  for (size_t line = 0; text.size() < bytes; ++line) {
    std::string number = std::to_string(line);
    text += number + std::string(78 - number.size(), '.') + "\r\n";
  }
  text.resize(bytes);
  return text;
}

// A new device under the stable name `link`, as when an adapter is plugged in.
std::unique_ptr<PtyPeer> PlugIn(const std::string& link) {
  auto peer = std::make_unique<PtyPeer>();
  morvek::test::StableNames::Point(link, peer->SlavePath());
  return peer;
}

// The stable name and then the device go, as when udev removes the link of an
// unplugged adapter. A terminal that waits for the device's return opens its
// name again and again; a freed pty number soon belongs to another program's
// pty (another test's, running beside this one), which must not be taken.
void Unplug(std::unique_ptr<PtyPeer>& peer, const std::string& link) {
  morvek::test::StableNames::Remove(link);
  peer.reset();
}

class UnplugTest : public morvek::test::TerminalTest {
 protected:
  // A new device (a pty) on COM1, as when another adapter is plugged in.
  void NewDevice() {
    m_peer = PlugIn(m_link);
    setenv("MORVEK_COM1", m_link.c_str(), 1);
  }
  // A new device, selected anew by the operator (settings answered OK as they
  // stand), carries both ways.
  void NewDeviceSelectedCarries(CTerminalDlg& dlg) {
    NewDevice();
    PressButton(dlg, IDC_PORT_SELECT);
    EXPECT_TRUE(MessagesShown().empty());
    EXPECT_EQ(dlg.m_bSending, 0) << "selecting the port ends a paused send";
    ASSERT_TRUE(m_peer->Write("again"));
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_strReceive.View().ends_with("again"); }, 10s));
    TypeSendText(dlg, "ping");
    PressButton(dlg, IDC_SEND);
    EXPECT_EQ(m_peer->Read(4, 10s), "ping");
  }
  const std::string m_link = (m_dir.path() / "device").string();
  std::unique_ptr<PtyPeer> m_peer;
};

TEST_F(UnplugTest, APeerThatGoesAwayMidBurstKeepsWhatArrivedAndAFreshPortWorks) {
  NewDevice();
  const std::string burst = NumberedLines(4 << 20);
  Run([&](CTerminalDlg& dlg) {
    std::atomic<bool> stop{false};
    std::atomic<size_t> sent{0};
    std::thread writer([&] {
      for (size_t at = 0; at < burst.size() && !stop; at += 4096) {
        if (!m_peer->Write(burst.substr(at, 4096))) break;
        sent = at + 4096;
      }
    });
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_strReceive.GetLength() >= (64 << 10); }, 10s));
    stop = true;
    writer.join();
    Unplug(m_peer, m_link);  // the device goes away with bytes still on the line

    // What arrived is the start of the burst, unbroken.
    std::string box(dlg.m_strReceive.View());
    EXPECT_GE(box.size(), size_t{64} << 10);
    EXPECT_LE(box.size(), sent.load());
    EXPECT_EQ(box, burst.substr(0, box.size()));
    EXPECT_TRUE(MessagesShown().empty());
    // The window still answers: the send box clears (and logs) as ever.
    TypeSendText(dlg, "still here");
    PressButton(dlg, IDC_CLEAR_SEND);
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), "");
    NewDeviceSelectedCarries(dlg);
    EXPECT_EQ(dlg.m_strReceive.View().substr(0, box.size()), box);
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(UnplugTest, APeerThatGoesAwayMidSendFailsTheSendOnceAndAFreshPortSendsAgain) {
  NewDevice();
  Run([&](CTerminalDlg& dlg) {
    // More than the line holds: the send waits in its write while the peer
    // reads a little and then goes away.
    TypeSendText(dlg, NumberedLines(1 << 20));
    std::string taken;
    std::thread device([&] {
      taken = m_peer->Read(20000, 10s);
      Unplug(m_peer, m_link);
    });
    PressButton(dlg, IDC_SEND);
    device.join();
    ASSERT_GE(taken.size(), 20000u);
    EXPECT_EQ(taken, NumberedLines(taken.size()));
    EXPECT_EQ(MessagesShown(), std::vector<std::string>{kSendFailed});
    EXPECT_EQ(ControlText(dlg, IDC_SEND), "送信");
    EXPECT_EQ(dlg.m_bSending, 1);  // auto-send stays paused
    EXPECT_EQ(dlg.m_strSend.GetLength(), 1 << 20);  // the box keeps its text
    NewDeviceSelectedCarries(dlg);
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(UnplugTest, AnUnpluggedAdapterComesBackByItselfUnderItsNameUnlessSelectedAnewWhileAway) {
  morvek::test::StableNames names(m_dir.path() / "serial");
  const std::string link = names.ById("usb-A");
  auto peer = PlugIn(link);
  setenv("MORVEK_COM1", link.c_str(), 1);
  const std::string away = "COM1 ポートは存在しません。";
  Run([&](CTerminalDlg& dlg) {
    const std::string settings = ControlText(dlg, IDC_PORT_STATUS);
    ASSERT_TRUE(peer->Write("before "));
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_strReceive.View() == "before "; }, 10s));
    Unplug(peer, link);
    ASSERT_TRUE(PumpUntil([&] { return ControlText(dlg, IDC_PORT_STATUS) == away; }, 10s));
    for (int id : {IDC_DSR, IDC_CTS, IDC_DCD, IDC_RI}) EXPECT_EQ(ControlText(dlg, id), "OFF");
    TypeSendText(dlg, "lost");
    PressButton(dlg, IDC_SEND);
    EXPECT_EQ(MessagesShown(), std::vector<std::string>{kSendFailed});

    // Plugged in again: the same name now leads to another device node.
    peer = PlugIn(link);
    ASSERT_TRUE(PumpUntil([&] { return ControlText(dlg, IDC_PORT_STATUS) == settings; }, 10s));
    DCB dcb{};
    ASSERT_TRUE(GetCommState(g_hComm, &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);  // a new pseudo-terminal starts at 38400
    ASSERT_TRUE(peer->Write("after"));
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_strReceive.View() == "before after"; }, 10s));
    TypeSendText(dlg, "ping");
    PressButton(dlg, IDC_SEND);
    EXPECT_EQ(peer->Read(4, 10s), "ping");

    // Selected anew while away, the port is the operator's to reopen.
    Unplug(peer, link);
    ASSERT_TRUE(PumpUntil([&] { return ControlText(dlg, IDC_PORT_STATUS) == away; }, 10s));
    PressButton(dlg, IDC_PORT_SELECT);  // the open fails: the device is away
    EXPECT_EQ(MessagesShown().size(), 1u);
    ASSERT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE);
    peer = PlugIn(link);
    // An observation window of several reopen periods, not a wait for an event.
    EXPECT_FALSE(PumpUntil([&] { return g_hComm.load() != INVALID_HANDLE_VALUE; }, 1s));
    EXPECT_EQ(ControlText(dlg, IDC_PORT_STATUS), away);
  });
  EXPECT_TRUE(MessagesShown().empty());
  bool logged = false;  // the receive box reached its log at the close
  for (const auto& entry : std::filesystem::directory_iterator("BAKUP"))
    logged = logged || morvek::test::ReadFileBytes(entry.path()).find("before after") != std::string::npos;
  EXPECT_TRUE(logged);
}

class VirtualPortFaultTest : public morvek::test::TerminalTest {
 protected:
  std::shared_ptr<VirtualPort> m_port = VirtualPort::Install(1);
};

TEST_F(VirtualPortFaultTest, AWriteFailingAtAChosenPieceStopsTheSendAndReportsItOnce) {
  const std::string text = NumberedLines(3 * 4094 + 100);
  struct Row {
    int goodWrites;
    size_t bytesOut;  // what reached the port before the failure
  } rows[] = {{0, 0}, {1, 4094}, {2, 2 * 4094}, {3, 3 * 4094}};
  Run([&](CTerminalDlg& dlg) {
    TypeSendText(dlg, text);
    for (const Row& row : rows) {
      SCOPED_TRACE(row.goodWrites);
      m_port->TakeWritten();
      m_port->FailWritesAfter(row.goodWrites);
      PressButton(dlg, IDC_SEND);
      EXPECT_EQ(MessagesShown(), std::vector<std::string>{kSendFailed});
      EXPECT_EQ(m_port->TakeWritten(), text.substr(0, row.bytesOut));
      EXPECT_EQ(dlg.m_bSending, 1);
      m_port->FailWrites(false);
    }
    // Once the port takes writes again, the whole text goes out in order.
    PressButton(dlg, IDC_SEND);
    EXPECT_EQ(m_port->TakeWritten(), text);
    EXPECT_EQ(dlg.m_bSending, 0);
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(VirtualPortFaultTest, FailingReadsLoseNothingThatWasQueued) {
  Run([&](CTerminalDlg& dlg) {
    m_port->InjectReceived("first ");
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_strReceive.View() == "first "; }, 10s));
    m_port->FailReads(true);
    m_port->InjectReceived(std::string(10000, 'x'));
    int before = m_port->ReadCalls();
    ASSERT_TRUE(PumpUntil([&] { return m_port->ReadCalls() >= before + 20; }, 10s));
    EXPECT_EQ(dlg.m_strReceive.View(), "first ");
    m_port->FailReads(false);
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_strReceive.GetLength() == 10006; }, 10s));
    EXPECT_EQ(dlg.m_strReceive.View(), "first " + std::string(10000, 'x'));
  });
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(VirtualPortFaultTest, AnUnpluggedPortIsQuietUnderAutoSendAndComesBackWhenSelectedAnew) {
  Run([&](CTerminalDlg& dlg) {
    int messages = 0;
    morvek::testing::OnMessageBox([&](const std::string&) { ++messages; });
    TypeSendText(dlg, "tick");
    SelectEntry(dlg, dlg.m_cmbInterval, 1);  // 100MS
    std::string written;
    ASSERT_TRUE(PumpUntil([&] { return (written += m_port->TakeWritten()).size() >= 8; }, 10s));
    EXPECT_EQ(written.substr(0, 8), "ticktick");
    m_port->InjectReceived("before");
    ASSERT_TRUE(PumpUntil([&] { return dlg.m_strReceive.View() == "before"; }, 10s));

    m_port->Unplug();
    // The next automatic send fails once and pauses auto-send: one message, not
    // one every 100 ms.
    ASSERT_TRUE(PumpUntil([&] { return messages == 1; }, 10s));
    // Auto-send goes on ticking (100 ms) without a second message.
    EXPECT_FALSE(PumpUntil([&] { return messages > 1; }, 400ms));
    EXPECT_EQ(MessagesShown(), std::vector<std::string>{kSendFailed});
    EXPECT_TRUE(PumpUntil([&] { return ControlText(dlg, IDC_DSR) == "OFF"; }, 10s));
    EXPECT_EQ(dlg.m_strReceive.View(), "before");

    // The device comes back (a new one on COM1) and the operator selects it.
    m_port = VirtualPort::Install(1);
    PressButton(dlg, IDC_PORT_SELECT);  // selected anew, OK as it stands
    EXPECT_TRUE(MessagesShown().empty());
    EXPECT_EQ(m_port->OpenCount(), 1);
    EXPECT_EQ(m_port->OutputLines(), 3u);  // DTR and RTS as the check boxes say
    EXPECT_EQ(dlg.m_nInterval, 0);  // selecting a port ends auto-send
  });
  EXPECT_TRUE(MessagesShown().empty());
}

}  // namespace
