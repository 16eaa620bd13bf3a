// The reader thread: blocks of at most 4095 bytes through the real dialog on a
// pty, and its start and stop on a virtual port.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "exchange/reader_thread.h"
#include "port/port_config.h"
#include "port/serial_driver.h"
#include "support/pty_peer.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::PtyPeer;
using morvek::test::SelectEntry;
using morvek::testing::PumpUntil;
using morvek::testing::VirtualPort;

constexpr int kHexCrLf = 3;

// The blocks shown in "HEXcrlf" format, one line each, back to bytes.
std::vector<std::string> ShownBlocks(const std::string& box) {
  std::vector<std::string> blocks;
  size_t start = 0;
  for (size_t end; (end = box.find("\r\n", start)) != std::string::npos; start = end + 2) {
    std::string block;
    for (size_t i = start; i + 3 <= end; i += 3) block += static_cast<char>(std::stoi(box.substr(i + 1, 2), nullptr, 16));
    blocks.push_back(block);
  }
  return blocks;
}

class ReaderOnPtyTest : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    m_peer = std::make_unique<PtyPeer>();
    setenv("MORVEK_COM1", m_peer->SlavePath().c_str(), 1);
  }
  std::unique_ptr<PtyPeer> m_peer;
};

TEST_F(ReaderOnPtyTest, TenThousandBytesWithoutAPauseComeInBlocksOfAtMost4095InOrder) {
  std::string sent;
  for (int i = 0; i < 10000; ++i) sent += static_cast<char>(i * 7 % 256);
  Run([&](CTerminalDlg& dlg) {
    SelectEntry(dlg, dlg.m_cmbDisplay, kHexCrLf);
    ASSERT_TRUE(m_peer->Write(sent));
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_strReceive.GetLength() >= 3 * 10000; }, 30s));
    std::string joined;
    std::vector<std::string> blocks = ShownBlocks(std::string(dlg.m_strReceive.View()));
    EXPECT_GE(blocks.size(), 3u);
    for (const std::string& block : blocks) {
      EXPECT_GE(block.size(), 1u);
      EXPECT_LE(block.size(), 4095u);
      joined += block;
    }
    EXPECT_EQ(joined, sent);
  });
}

// A dialog object without a window: enough for the driver and the reader.
class ReaderHost : public CTerminalDlg {
 public:
  using CTerminalDlg::StartReader;
  using CTerminalDlg::StopReader;
  CWinThread* Reader() const { return m_pReader; }
};

class ReaderOnVirtualPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_port = VirtualPort::Install(1);
    g_portConfig = PortConfig{};
    g_portConfig.BaudRate = 9600;
    g_portConfig.ByteSize = 8;
    g_portConfig.ReadIntervalTimeout = 0;  // no time-outs: a read waits for 4095 bytes
    ASSERT_TRUE(m_host.OpenPort(0));
    ASSERT_TRUE(m_host.PreparePortState());
    ASSERT_TRUE(m_host.ConfigurePort());
    g_hMainWnd = nullptr;
    g_bReaderRun = 1;
  }
  void TearDown() override {
    m_host.StopReader();
    m_host.ClosePort();
    g_bReaderRun = 1;
  }

  // Bytes the reader has not taken yet.
  DWORD Queued() {
    DWORD errors = 0;
    COMSTAT status = {};
    ClearCommError(g_hComm, &errors, &status);
    return status.cbInQue;
  }

  std::shared_ptr<VirtualPort> m_port;
  ReaderHost m_host;
};

TEST_F(ReaderOnVirtualPortTest, ARunFlagOtherThanOneAtStartEndsTheThreadWithoutTouchingThePort) {
  for (int flag : {0, 2, -1}) {
    g_bReaderRun = flag;
    m_host.StartReader();
    ASSERT_NE(m_host.Reader(), nullptr);
    EXPECT_EQ(WaitForSingleObject(m_host.Reader()->m_hThread, 10000), WAIT_OBJECT_0) << flag;
    EXPECT_EQ(m_port->ReadCalls(), 0) << flag;
    m_host.StopReader();
    EXPECT_EQ(m_host.Reader(), nullptr);
  }
}

TEST_F(ReaderOnVirtualPortTest, AReaderThatCannotBeStartedLeavesNoThreadAndStopsCleanly) {
  morvek::testing::FailThreadStarts(true);
  m_host.StartReader();
  morvek::testing::FailThreadStarts(false);
  EXPECT_EQ(m_host.Reader(), nullptr);
  m_host.StopReader();
  // The next start works as before.
  m_port->InjectReceived("x");
  g_bReaderRun = 1;
  m_host.StartReader();
  ASSERT_NE(m_host.Reader(), nullptr);
  EXPECT_TRUE(PumpUntil([&] { return m_port->ReadCalls() >= 1; }, 30s));
}

TEST_F(ReaderOnVirtualPortTest, StopJoinsAReaderBlockedInAReadThatWouldNeverEnd) {
  m_port->InjectReceived("x");
  m_host.StartReader();
  // The queue query and the read: the read now waits for 4094 more bytes.
  ASSERT_TRUE(PumpUntil([&] { return m_port->ReadCalls() >= 2; }, 30s));
  EXPECT_EQ(WaitForSingleObject(m_host.Reader()->m_hThread, 50), static_cast<DWORD>(WAIT_TIMEOUT));
  m_host.StopReader();
  EXPECT_EQ(m_host.Reader(), nullptr);
  EXPECT_EQ(g_bReaderRun, 0);
  m_host.StopReader();  // a second stop with none running does nothing
}

TEST_F(ReaderOnVirtualPortTest, BlocksThatCannotBePostedAreTakenAndFreed) {
  // No window to post to: every post fails and the reader frees the block
  // (a leak here shows under the address sanitizer).
  m_host.StopReader();
  m_host.ClosePort();
  g_portConfig.ReadIntervalTimeout = 20;
  ASSERT_TRUE(m_host.OpenPort(0));
  ASSERT_TRUE(m_host.PreparePortState());
  ASSERT_TRUE(m_host.ConfigurePort());
  g_bReaderRun = 1;
  m_host.StartReader();
  for (int i = 0; i < 3; ++i) {
    m_port->InjectReceived(std::string(5000, static_cast<char>('a' + i)));
    EXPECT_TRUE(PumpUntil([&] { return Queued() == 0; }, 30s));
  }
}

}  // namespace
