// The serial port driver on the virtual port and on pseudo-terminals: which
// device an index opens, what a failure leaves behind, and the prepared control
// block and time-outs.
#include <gtest/gtest.h>

#include <string>
#include <cstring>

#include "platform/testing.h"
#include "port/port_config.h"
#include "port/serial_driver.h"
#include "support/default_port_config.h"
#include "support/pty_peer.h"
#include "ui/terminal_dlg.h"

namespace {

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

TEST_F(SerialDriver, AnIndexOpensItsOwnPortOnlySixteenExistAndWithoutOneNothingIsWritten) {
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
  // Without a port nothing is prepared, configured or written.
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

// The block takes the record's line settings over the port's state, and
// everything else is the port's own ("Hardware" does not turn DTR or RTS into
// handshake lines); reads time out only as set, held writes are bounded.
TEST_F(SerialDriver, ThePreparedBlockAndTimeOutsFollowTheRecord) {
  auto port = VirtualPort::Install(1);
  struct Row {
    int32_t baudRate;
    BYTE byteSize, parity, stopBits;
    int32_t flow[4];   // fOutX, fInX, fOutxCtsFlow, fOutxDsrFlow in the record
    DWORD dcbFlow[4];  // in the block: only the lowest bit of each
    int32_t readInterval;
    DWORD writeMultiplier, writeConstant;
  } rows[] = {
      {115200, 7, EVENPARITY, TWOSTOPBITS, {0, 0, 0, 0}, {0, 0, 0, 0}, 20, 1, 10000},  // No flow
      {115200, 7, EVENPARITY, TWOSTOPBITS, {0, 0, 1, 1}, {0, 0, 1, 1}, 20, 1, 10000},  // Hardware
      {115200, 7, EVENPARITY, TWOSTOPBITS, {1, 1, 0, 0}, {1, 1, 0, 0}, 20, 1, 10000},  // Xon/Xoff
      {9600, 8, NOPARITY, ONESTOPBIT, {6, 3, -1, 2}, {0, 1, 1, 0}, 0, 2, 10000},        // 10 bits: 1.04 ms a byte
      {110, 8, NOPARITY, ONESTOPBIT, {0, 0, 0, 0}, {0, 0, 0, 0}, 20, 91, 10000},        // 90.9 ms
      {2000000, 8, NOPARITY, ONESTOPBIT, {0, 0, 0, 0}, {0, 0, 0, 0}, 20, 1, 10000},     // 5 us
      {300, 7, EVENPARITY, TWOSTOPBITS, {0, 0, 0, 0}, {0, 0, 0, 0}, 5, 37, 10000},      // 11 bits: 36.7 ms
      {110, 5, NOPARITY, ONE5STOPBITS, {0, 0, 0, 0}, {0, 0, 0, 0}, 5, 73, 10000},       // 1.5 counted as 2: 72.7 ms
      {1000, 8, ODDPARITY, ONESTOPBIT, {0, 0, 0, 0}, {0, 0, 0, 0}, 5, 11, 10000},       // 11 bits: exactly 11 ms
      {0, 8, NOPARITY, ONESTOPBIT, {0, 0, 0, 0}, {0, 0, 0, 0}, 20, 0, 0},               // the port refuses it
      {-9600, 8, NOPARITY, ONESTOPBIT, {0, 0, 0, 0}, {0, 0, 0, 0}, 20, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.baudRate);
    g_portConfig.BaudRate = row.baudRate;
    g_portConfig.ByteSize = row.byteSize;
    g_portConfig.Parity = row.parity;
    g_portConfig.StopBits = row.stopBits;
    g_portConfig.fOutX = row.flow[0];
    g_portConfig.fInX = row.flow[1];
    g_portConfig.fOutxCtsFlow = row.flow[2];
    g_portConfig.fOutxDsrFlow = row.flow[3];
    g_portConfig.ReadIntervalTimeout = row.readInterval;
    ASSERT_TRUE(m_dlg.OpenPort(0));
    DCB expected = {};
    ASSERT_TRUE(GetCommState(g_hComm, &expected));
    ASSERT_TRUE(m_dlg.PreparePortState());
    expected.BaudRate = static_cast<DWORD>(row.baudRate);
    expected.ByteSize = row.byteSize;
    expected.Parity = row.parity;
    expected.StopBits = row.stopBits;
    expected.fOutX = row.dcbFlow[0];
    expected.fInX = row.dcbFlow[1];
    expected.fOutxCtsFlow = row.dcbFlow[2];
    expected.fOutxDsrFlow = row.dcbFlow[3];
    expected.XonChar = 0x11;
    expected.XoffChar = 0x13;
    expected.XonLim = 2048;
    expected.XoffLim = 512;
    EXPECT_EQ(std::memcmp(&m_dlg.m_dcb, &expected, sizeof expected), 0);
    const COMMTIMEOUTS& t = m_dlg.m_timeouts;
    const COMMTIMEOUTS want{static_cast<DWORD>(row.readInterval), 0, 0, row.writeMultiplier, row.writeConstant};
    EXPECT_EQ(std::memcmp(&t, &want, sizeof want), 0) << t.ReadIntervalTimeout << " " << t.WriteTotalTimeoutMultiplier;
    EXPECT_EQ(m_dlg.ConfigurePort(), row.baudRate > 0);
    m_dlg.ClosePort();
  }
}

}  // namespace
