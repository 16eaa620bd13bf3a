// Line settings on a real kernel tty (the slave of a pseudo-terminal), checked
// against what the kernel itself reports for the tty, through a descriptor of
// the test's own.
#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "port/value_lists.h"
#include "port_test_support.h"

namespace {

using morvek::test::ChangeState;
using morvek::test::OpenPort;
using morvek::test::PtyPeer;

// The tty's settings as the kernel holds them.
termios2 KernelSettings(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  termios2 settings{};
  EXPECT_GE(fd, 0);
  EXPECT_EQ(ioctl(fd, TCGETS2, &settings), 0);
  close(fd);
  return settings;
}

// A pseudo-terminal as COM1, opened.
class TtySettings : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(port.ok()) << port.openError(); }
  PtyPeer peer{1};
  OpenPort port{"COM1"};
};

TEST_F(TtySettings, EveryRateOfTheProgramReachesTheTty) {
  for (const auto& entry : kBaudRateList) {
    const DWORD rate = static_cast<DWORD>(entry.value);
    ASSERT_TRUE(ChangeState(port.get(), [&](DCB& dcb) { dcb.BaudRate = rate; })) << rate;
    termios2 tty = KernelSettings(peer.SlavePath());
    EXPECT_EQ(tty.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER)) << rate;
    EXPECT_EQ(tty.c_ospeed, rate);
    EXPECT_EQ(tty.c_ispeed, rate);
  }
}

TEST_F(TtySettings, FramingAndFlowReachTheTty) {
  // A pseudo-terminal forces 8 data bits without parity enable (it has no
  // framing), so PARENB and CSIZE are not checked here; the bits it keeps are.
  struct Row {
    BYTE byteSize, parity, stopBits;
    bool cts, outX, inX;
    tcflag_t cflags;  // of PARODD | CMSPAR | CSTOPB | CRTSCTS
    tcflag_t iflags;  // of IXON | IXOFF
  } rows[] = {
      {8, NOPARITY, ONESTOPBIT, false, false, false, 0, 0},
      {7, EVENPARITY, ONESTOPBIT, false, false, false, 0, 0},
      {7, ODDPARITY, TWOSTOPBITS, false, false, false, PARODD | CSTOPB, 0},
      {8, MARKPARITY, ONESTOPBIT, true, false, false, PARODD | CMSPAR | CRTSCTS, 0},
      {8, SPACEPARITY, TWOSTOPBITS, false, true, true, CMSPAR | CSTOPB, IXON | IXOFF},
      {5, NOPARITY, ONE5STOPBITS, false, true, false, CSTOPB, IXON},
      {6, EVENPARITY, TWOSTOPBITS, true, false, true, CSTOPB | CRTSCTS, IXOFF},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << int(row.byteSize) << " bits, parity " << int(row.parity) << ", stop "
                                    << int(row.stopBits));
    ASSERT_TRUE(ChangeState(port.get(), [&](DCB& dcb) {
      dcb.ByteSize = row.byteSize;
      dcb.Parity = row.parity;
      dcb.StopBits = row.stopBits;
      dcb.fOutxCtsFlow = row.cts;
      dcb.fOutX = row.outX;
      dcb.fInX = row.inX;
      dcb.XonChar = 0x11;
      dcb.XoffChar = 0x13;
    }));
    termios2 tty = KernelSettings(peer.SlavePath());
    EXPECT_EQ(tty.c_cflag & (PARODD | CMSPAR | CSTOPB | CRTSCTS), row.cflags);
    EXPECT_EQ(tty.c_iflag & (IXON | IXOFF), row.iflags);
    EXPECT_EQ(tty.c_cc[VSTART], 0x11);
    EXPECT_EQ(tty.c_cc[VSTOP], 0x13);
  }
}

TEST_F(TtySettings, RefusedSettingsChangeNothing) {
  struct Row {
    const char* what;
    void (*spoil)(DCB&);
  } rows[] = {
      {"4 data bits", [](DCB& d) { d.ByteSize = 4; }},
      {"9 data bits", [](DCB& d) { d.ByteSize = 9; }},
      {"parity 5", [](DCB& d) { d.Parity = 5; }},
      {"stop bits 3", [](DCB& d) { d.StopBits = 3; }},
      {"1.5 stop bits with 8 data bits", [](DCB& d) { d.StopBits = ONE5STOPBITS; }},
      {"1.5 stop bits with 6 data bits", [](DCB& d) { d.StopBits = ONE5STOPBITS, d.ByteSize = 6; }},
      {"2 stop bits with 5 data bits", [](DCB& d) { d.StopBits = TWOSTOPBITS, d.ByteSize = 5; }},
      {"rate 0", [](DCB& d) { d.BaudRate = 0; }},
      {"rate 2^31", [](DCB& d) { d.BaudRate = 0x80000000u; }},
      {"XON = XOFF with fOutX", [](DCB& d) { d.fOutX = 1, d.XonChar = d.XoffChar = 0x13; }},
      {"XON = XOFF with fInX", [](DCB& d) { d.fInX = 1, d.XonChar = d.XoffChar = 0x11; }},
  };
  ASSERT_TRUE(ChangeState(port.get(), [](DCB& dcb) {
    dcb.BaudRate = 19200;
    dcb.StopBits = TWOSTOPBITS;
    dcb.XonLim = 777;
  }));
  DCB before{};
  ASSERT_TRUE(GetCommState(port.get(), &before));
  const termios2 ttyBefore = KernelSettings(peer.SlavePath());
  for (const Row& row : rows) {
    DCB spoiled = before;
    row.spoil(spoiled);
    spoiled.XonLim = 999;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(SetCommState(port.get(), &spoiled)) << row.what;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << row.what;
    DCB after{};
    ASSERT_TRUE(GetCommState(port.get(), &after));
    EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0) << row.what;
    termios2 ttyAfter = KernelSettings(peer.SlavePath());
    EXPECT_EQ(std::memcmp(&ttyAfter, &ttyBefore, sizeof ttyBefore), 0) << row.what;
  }
  // The same characters are fine while software flow control is off.
  EXPECT_TRUE(ChangeState(port.get(), [](DCB& d) { d.XonChar = d.XoffChar = 0x11; }));
}

TEST_F(TtySettings, BadArgumentsAndHandlesAreRefused) {
  EXPECT_FALSE(GetCommState(port.get(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(SetCommState(port.get(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(SetCommTimeouts(port.get(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(GetCommTimeouts(port.get(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  const COMMTIMEOUTS set{20, 0, 0, 0, 5000};
  COMMTIMEOUTS got{};
  ASSERT_TRUE(SetCommTimeouts(port.get(), &set));
  ASSERT_TRUE(GetCommTimeouts(port.get(), &got));
  EXPECT_EQ(std::memcmp(&got, &set, sizeof got), 0);
  EXPECT_FALSE(GetCommModemStatus(port.get(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(ClearCommError(port.get(), nullptr, nullptr));
  EXPECT_FALSE(EscapeCommFunction(port.get(), 77));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  DCB dcb{};
  DWORD value = 0;
  EXPECT_FALSE(GetCommState(INVALID_HANDLE_VALUE, &dcb));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(GetCommModemStatus(nullptr, &value));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  HANDLE closed = port.get();
  ASSERT_TRUE(port.Close());
  EXPECT_FALSE(ClearCommError(closed, &value, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
