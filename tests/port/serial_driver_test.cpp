// The serial port driver on the virtual port and on pseudo-terminals: which
// device an index opens, what a failure leaves behind, the prepared control
// block and time-outs, and bytes written reaching the far side.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <cstring>

#include "platform/testing.h"
#include "port/list_settings.h"
#include "port/port_config.h"
#include "port/serial_driver.h"
#include "port/value_lists.h"
#include "support/default_port_config.h"
#include "support/pty_peer.h"
#include "ui/terminal_dlg.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::PtyPeer;
using morvek::testing::VirtualPort;

class SerialDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    g_portConfig = morvek::test::DefaultPortConfig();
    ASSERT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE);
  }
  void TearDown() override { m_dlg.ClosePort(); }
  CTerminalDlg m_dlg;
};

TEST_F(SerialDriver, AnIndexOpensItsOwnPortAndOnlySixteenExist) {
  for (int index : {0, 15}) {
    PtyPeer pty(index + 1);  // as MORVEK_COM<index + 1>
    ASSERT_TRUE(m_dlg.OpenPort(index)) << index;
    EXPECT_NE(g_hComm.load(), INVALID_HANDLE_VALUE);
    m_dlg.ClosePort();
    EXPECT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE);
    m_dlg.ClosePort();  // a second close does nothing
  }
  for (int index : {-1, 16, 100}) {
    EXPECT_FALSE(m_dlg.OpenPort(index)) << index;
    EXPECT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE) << index;
  }
}

TEST_F(SerialDriver, WithoutAPortNothingIsPreparedConfiguredOrWritten) {
  EXPECT_FALSE(m_dlg.PreparePortState());
  EXPECT_FALSE(m_dlg.ConfigurePort());
  EXPECT_FALSE(m_dlg.WritePort("x", 1));
  EXPECT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE);
}

// (A port that refuses the settings or cannot say its state: PortSelection.)
TEST_F(SerialDriver, APortThatStopsAnsweringBeforeItIsConfiguredIsClosed) {
  auto port = VirtualPort::Install(1);
  ASSERT_TRUE(m_dlg.OpenPort(0));
  ASSERT_TRUE(m_dlg.PreparePortState());
  port->FailGetState(true);
  EXPECT_FALSE(m_dlg.ConfigurePort());
  EXPECT_EQ(g_hComm.load(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(port->OpenCount(), 0);
  m_dlg.ClosePort();
}

TEST_F(SerialDriver, ThePreparedBlockTakesTheRecordOverThePortsState) {
  auto port = VirtualPort::Install(1);
  // No, Hardware (output waits for CTS and DSR), Xon/Xoff (both directions).
  const DWORD kFlow[3][4] = {{0, 0, 0, 0}, {0, 0, 1, 1}, {1, 1, 0, 0}};
  for (int flow = 0; flow < 3; ++flow) {
    g_portConfig = morvek::test::DefaultPortConfig();
    ApplyListEntry(ListSetting::FlowControl, flow, g_portConfig);
    ApplyListEntry(ListSetting::BaudRate, 14, g_portConfig);
    ApplyListEntry(ListSetting::ByteSize, 2, g_portConfig);
    ApplyListEntry(ListSetting::Parity, 2, g_portConfig);
    ApplyListEntry(ListSetting::StopBits, 2, g_portConfig);
    ASSERT_TRUE(m_dlg.OpenPort(0));
    DCB before = {};
    ASSERT_TRUE(GetCommState(g_hComm, &before));
    ASSERT_TRUE(m_dlg.PreparePortState());
    DCB expected = before;
    expected.fOutX = kFlow[flow][0];
    expected.fInX = kFlow[flow][1];
    expected.fOutxCtsFlow = kFlow[flow][2];
    expected.fOutxDsrFlow = kFlow[flow][3];
    expected.BaudRate = 115200;
    expected.ByteSize = 7;
    expected.Parity = EVENPARITY;
    expected.StopBits = TWOSTOPBITS;
    expected.XonChar = 0x11;
    expected.XoffChar = 0x13;
    expected.XonLim = 2048;
    expected.XoffLim = 512;
    // Everything else is the port's own: "Hardware" does not turn DTR or RTS
    // into handshake lines.
    EXPECT_EQ(std::memcmp(&m_dlg.m_dcb, &expected, sizeof expected), 0) << flow;
    EXPECT_TRUE(m_dlg.ConfigurePort()) << flow;
    m_dlg.ClosePort();
  }

  // Only the lowest bit of each 32-bit flow field reaches the block.
  g_portConfig.fOutX = 6;
  g_portConfig.fInX = 3;
  g_portConfig.fOutxCtsFlow = -1;
  g_portConfig.fOutxDsrFlow = 2;
  ASSERT_TRUE(m_dlg.OpenPort(0));
  ASSERT_TRUE(m_dlg.PreparePortState());
  EXPECT_EQ(m_dlg.m_dcb.fOutX, 0u);
  EXPECT_EQ(m_dlg.m_dcb.fInX, 1u);
  EXPECT_EQ(m_dlg.m_dcb.fOutxCtsFlow, 1u);
  EXPECT_EQ(m_dlg.m_dcb.fOutxDsrFlow, 0u);
}

TEST_F(SerialDriver, ReadsTimeOutOnlyAsSetAndHeldWritesAreBounded) {
  auto port = VirtualPort::Install(1);
  struct Row {
    int32_t readInterval;
    int32_t baudRate;
    BYTE byteSize, parity, stopBits;
    DWORD writeMultiplier, writeConstant;
  } rows[] = {
      {0, 9600, 8, NOPARITY, ONESTOPBIT, 2, 10000},        // 10 bits: 1.04 ms a byte
      {20, 110, 8, NOPARITY, ONESTOPBIT, 91, 10000},       // 90.9 ms
      {20, 2000000, 8, NOPARITY, ONESTOPBIT, 1, 10000},    // 5 us
      {5, 300, 7, EVENPARITY, TWOSTOPBITS, 37, 10000},     // 11 bits: 36.7 ms
      {5, 110, 5, NOPARITY, ONE5STOPBITS, 73, 10000},      // 8 bits (1.5 counted as 2): 72.7 ms
      {5, 1000, 8, ODDPARITY, ONESTOPBIT, 11, 10000},      // 11 bits: exactly 11 ms
      {20, 0, 8, NOPARITY, ONESTOPBIT, 0, 0},              // refused later anyway
      {20, -9600, 8, NOPARITY, ONESTOPBIT, 0, 0},
  };
  for (const auto& row : rows) {
    g_portConfig.ReadIntervalTimeout = row.readInterval;
    g_portConfig.BaudRate = row.baudRate;
    g_portConfig.ByteSize = row.byteSize;
    g_portConfig.Parity = row.parity;
    g_portConfig.StopBits = row.stopBits;
    ASSERT_TRUE(m_dlg.OpenPort(0));
    ASSERT_TRUE(m_dlg.PreparePortState());
    const COMMTIMEOUTS& t = m_dlg.m_timeouts;
    EXPECT_EQ(t.ReadIntervalTimeout, static_cast<DWORD>(row.readInterval)) << row.baudRate;
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u) << row.baudRate;
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u) << row.baudRate;
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, row.writeMultiplier) << row.baudRate;
    EXPECT_EQ(t.WriteTotalTimeoutConstant, row.writeConstant) << row.baudRate;
    m_dlg.ClosePort();
  }
}

TEST_F(SerialDriver, APtyTakesTheSettingsAndPassesEveryByteUnchanged) {
  PtyPeer pty(1);
  ApplyListEntry(ListSetting::BaudRate, 22, g_portConfig);
  ASSERT_TRUE(m_dlg.OpenPort(0));
  ASSERT_TRUE(m_dlg.PreparePortState());
  ASSERT_TRUE(m_dlg.ConfigurePort());
  DCB dcb = {};
  ASSERT_TRUE(GetCommState(g_hComm, &dcb));
  EXPECT_EQ(dcb.BaudRate, 2000000u);
  COMMTIMEOUTS applied = {};
  ASSERT_TRUE(GetCommTimeouts(g_hComm, &applied));
  EXPECT_EQ(std::memcmp(&applied, &m_dlg.m_timeouts, sizeof applied), 0);
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  bytes += "\r\n\n\r";
  for (int i = 0; i < 4095; ++i) bytes += static_cast<char>('A' + i % 26);
  ASSERT_TRUE(m_dlg.WritePort(bytes.data(), static_cast<DWORD>(bytes.size())));
  EXPECT_EQ(pty.Read(bytes.size(), 10s), bytes);
  EXPECT_TRUE(m_dlg.WritePort("", 0));
}

TEST_F(SerialDriver, WritesReportWhetherThePortTookThem) {
  auto port = VirtualPort::Install(1);
  ASSERT_TRUE(m_dlg.OpenPort(0));
  ASSERT_TRUE(m_dlg.PreparePortState());
  ASSERT_TRUE(m_dlg.ConfigurePort());
  EXPECT_TRUE(m_dlg.WritePort("AT\r\n", 4));
  EXPECT_EQ(port->TakeWritten(), "AT\r\n");
  port->FailWrites(true);
  EXPECT_FALSE(m_dlg.WritePort("lost", 4));
  EXPECT_NE(g_hComm.load(), INVALID_HANDLE_VALUE);  // a failed write keeps the port
}

}  // namespace
