// The reader thread on a virtual port: its start and stop, and blocks it cannot
// hand over. (Bytes through it on a pty: LongTransferTest.)
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "exchange/reader_thread.h"
#include "port/port_config.h"
#include "port/serial_driver.h"
#include "support/terminal_test.h"

namespace {

using namespace std::chrono_literals;
using morvek::testing::PumpUntil;
using morvek::testing::VirtualPort;

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
    Open(0);  // no time-outs: a read waits for 4095 bytes
  }
  void Open(int readIntervalTimeout) {
    g_portConfig = PortConfig{};
    g_portConfig.BaudRate = 9600;
    g_portConfig.ByteSize = 8;
    g_portConfig.ReadIntervalTimeout = readIntervalTimeout;
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
  m_host.ClosePort();
  ASSERT_NO_FATAL_FAILURE(Open(20));
  m_host.StartReader();
  for (int i = 0; i < 3; ++i) {
    m_port->InjectReceived(std::string(5000, static_cast<char>('a' + i)));
    EXPECT_TRUE(PumpUntil([&] { return Queued() == 0; }, 30s));
  }
}

}  // namespace
