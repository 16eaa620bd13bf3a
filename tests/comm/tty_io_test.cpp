// Reading and writing a tty port with a pseudo-terminal peer: the COMMTIMEOUTS
// rules and the line's own controls. (Bursts, write time-outs, close and
// hang-up: PortDevice; a device that comes back under its name: UnplugTest.)
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/core/system_tick.h"
#include "platform/testing.h"
#include "port_test_support.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::CallOnThread;
using morvek::test::OpenPort;
using morvek::test::PtyPeer;
using morvek::test::SetTimeouts;
using Clock = std::chrono::steady_clock;

std::string AllByteValues() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  return bytes;
}

// Whether a port call that began at `start` held the system timer fine: the
// hold of any earlier call ends before start + kFineTimerHold.
bool FineAfter(std::chrono::nanoseconds start) {
  return morvek::core::TimerTick(start + morvek::core::kFineTimerHold - std::chrono::nanoseconds(1)).count() == 0;
}

// Waits until the port's input queue holds `count` bytes; false after 10 s.
bool WaitQueued(HANDLE port, DWORD count) {
  return morvek::testing::PumpUntil(
      [&] {
        COMSTAT stat{};
        DWORD errors = 0;
        return ClearCommError(port, &errors, &stat) && stat.cbInQue == count;
      },
      10s);
}

// A pseudo-terminal as COM1, opened.
class TtyIo : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(port.ok()) << port.openError(); }
  PtyPeer peer{1};
  OpenPort port{"COM1"};
};

// A read ends at its full count without waiting for the interval.
TEST_F(TtyIo, EveryByteValuePassesBothWaysAndAReadEndsAtItsFullCount) {
  ASSERT_TRUE(SetTimeouts(port.get(), 60'000));
  const std::string bytes = AllByteValues() + AllByteValues();
  ASSERT_TRUE(peer.Write(bytes));
  std::string got(bytes.size(), '\0');
  DWORD count = 0;
  const auto start = Clock::now();
  const auto beforeRead = morvek::core::MonotonicNow();
  ASSERT_TRUE(ReadFile(port.get(), got.data(), static_cast<DWORD>(got.size()), &count, nullptr));
  EXPECT_EQ(got.substr(0, count), bytes);
  EXPECT_LT(Clock::now() - start, 30s);
  // Received bytes keep the system timer fine for a while, so that the
  // reader's 1 ms sleeps between bursts stay short; sent bytes too, for the
  // answer.
  EXPECT_TRUE(FineAfter(beforeRead));
  DWORD written = 0;
  const auto beforeWrite = morvek::core::MonotonicNow();
  ASSERT_TRUE(WriteFile(port.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  EXPECT_EQ(written, bytes.size());
  EXPECT_EQ(peer.Read(bytes.size()), bytes);
  EXPECT_TRUE(FineAfter(beforeWrite));
}

TEST_F(TtyIo, AllZeroTimeoutsWaitForTheFullCount) {
  ASSERT_TRUE(SetTimeouts(port.get(), 0));
  char buffer[5];
  DWORD got = 0;
  CallOnThread read([&] { return ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr); });
  ASSERT_TRUE(peer.Write("abc"));
  // The read takes "abc" and sleeps again, waiting for the rest.
  ASSERT_TRUE(WaitQueued(port.get(), 0));
  ASSERT_TRUE(read.WaitUntilBlocked());
  ASSERT_TRUE(peer.Write("de"));
  EXPECT_TRUE(read.Finish().result);
  EXPECT_EQ(std::string(buffer, got), "abcde");
}

TEST_F(TtyIo, MaxDwordIntervalReturnsAtOnceWithWhatIsQueuedAndClearCommErrorCountsIt) {
  ASSERT_TRUE(SetTimeouts(port.get(), MAXDWORD));
  char buffer[64];
  DWORD got = 99;
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(got, 0u);
  ASSERT_TRUE(peer.Write("queued"));
  ASSERT_TRUE(WaitQueued(port.get(), 6));
  DWORD errors = 99;
  COMSTAT stat{};
  ASSERT_TRUE(ClearCommError(port.get(), &errors, &stat));
  EXPECT_EQ(errors, 0u);  // a pseudo-terminal keeps no error counters
  EXPECT_EQ(stat.cbOutQue, 0u);
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "queued");
  // Zero bytes asked: nothing to wait for.
  ASSERT_TRUE(SetTimeouts(port.get(), 0));
  EXPECT_TRUE(ReadFile(port.get(), buffer, 0, &got, nullptr));
  EXPECT_EQ(got, 0u);
}

TEST_F(TtyIo, APseudoTerminalHasNoModemLinesButSwitchingThemSucceeds) {
  for (DWORD function : {SETDTR, CLRDTR, SETRTS, CLRRTS}) EXPECT_TRUE(EscapeCommFunction(port.get(), function));
  DWORD status = 99;
  ASSERT_TRUE(GetCommModemStatus(port.get(), &status));
  EXPECT_EQ(status, 0u);
}

}  // namespace
