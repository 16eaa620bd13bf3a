// Reading and writing a tty port with a pseudo-terminal peer: the COMMTIMEOUTS
// rules, waking blocked calls at close, and a peer that goes away.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/core/system_tick.h"
#include "platform/testing.h"
#include "port_test_support.h"
#include "support/stable_names.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::CallOnThread;
using morvek::test::OpenPort;
using morvek::test::PtyPeer;
using morvek::test::SetTimeouts;
using morvek::test::WaitQueued;
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

TEST(TtyIo, EveryByteValuePassesBothWays) {
  PtyPeer peer(1);
  OpenPort port("COM1");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(SetTimeouts(port.get(), 50));
  const std::string bytes = AllByteValues() + AllByteValues();
  ASSERT_TRUE(peer.Write(bytes));
  EXPECT_EQ(morvek::test::ReadPort(port.get(), bytes.size()), bytes);
  DWORD written = 0;
  const auto beforeWrite = morvek::core::MonotonicNow();
  ASSERT_TRUE(WriteFile(port.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  EXPECT_EQ(written, bytes.size());
  EXPECT_EQ(peer.Read(bytes.size()), bytes);
  // Sent bytes keep the system timer fine for a while, for the answer.
  EXPECT_TRUE(FineAfter(beforeWrite));
}

TEST(TtyIo, ClearCommErrorReportsTheInputQueue) {
  PtyPeer peer(2);
  OpenPort port("COM2");
  ASSERT_TRUE(port.ok()) << port.openError();
  EXPECT_TRUE(WaitQueued(port.get(), 0));
  ASSERT_TRUE(peer.Write("seven!!"));
  EXPECT_TRUE(WaitQueued(port.get(), 7));
  DWORD errors = 99;
  COMSTAT stat{};
  ASSERT_TRUE(ClearCommError(port.get(), &errors, &stat));
  EXPECT_EQ(errors, 0u);  // a pseudo-terminal keeps no error counters
  EXPECT_EQ(stat.cbOutQue, 0u);
}

TEST(TtyIo, ABurstIsOneReadAndAPauseLongerThanTheIntervalEndsIt) {
  PtyPeer peer(3);
  OpenPort port("COM3");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(SetTimeouts(port.get(), 50));
  char buffer[4095];
  const std::string first(100, 'a');
  const std::string second(300, 'b');
  for (const std::string& burst : {first, second}) {
    // Each burst is written only after the read of the one before returned.
    ASSERT_TRUE(peer.Write(burst));
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), burst);
  }
}

TEST(TtyIo, AReadEndsAtItsFullCountWithoutWaitingForTheInterval) {
  PtyPeer peer(4);
  OpenPort port("COM4");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(SetTimeouts(port.get(), 60'000));
  ASSERT_TRUE(peer.Write("0123456789"));
  char buffer[10];
  DWORD got = 0;
  const auto start = Clock::now();
  const auto beforeRead = morvek::core::MonotonicNow();
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "0123456789");
  EXPECT_LT(Clock::now() - start, 30s);
  // Received bytes keep the system timer fine for a while, so that the
  // reader's 1 ms sleeps between bursts stay short.
  EXPECT_TRUE(FineAfter(beforeRead));
}

TEST(TtyIo, AllZeroTimeoutsWaitForTheFullCount) {
  PtyPeer peer(5);
  OpenPort port("COM5");
  ASSERT_TRUE(port.ok()) << port.openError();
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

TEST(TtyIo, MaxDwordIntervalReturnsAtOnceWithWhatIsQueued) {
  PtyPeer peer(6);
  OpenPort port("COM6");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(SetTimeouts(port.get(), MAXDWORD));
  char buffer[64];
  DWORD got = 99;
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(got, 0u);
  ASSERT_TRUE(peer.Write("queued"));
  ASSERT_TRUE(WaitQueued(port.get(), 6));
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "queued");
  // Zero bytes asked: nothing to wait for.
  ASSERT_TRUE(SetTimeouts(port.get(), 0));
  EXPECT_TRUE(ReadFile(port.get(), buffer, 0, &got, nullptr));
  EXPECT_EQ(got, 0u);
}

TEST(TtyIo, TotalTimeoutsEndAReadWithWhatArrived) {
  PtyPeer peer(7);
  OpenPort port("COM7");
  ASSERT_TRUE(port.ok()) << port.openError();
  // 10 ms per byte asked + 20 ms: 70 ms for 5 bytes.
  ASSERT_TRUE(SetTimeouts(port.get(), 0, 10, 20));
  char buffer[5];
  DWORD got = 99;
  auto start = Clock::now();
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(got, 0u);
  EXPECT_GE(Clock::now() - start, 70ms);
  ASSERT_TRUE(peer.Write("xy"));
  start = Clock::now();
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "xy");
  EXPECT_GE(Clock::now() - start, 70ms);
}

TEST(PortDevice, ClosingTheHandleWakesABlockedCall) {
  struct Row {
    const char* what;
    bool loopback;
    COMMTIMEOUTS timeouts;
    bool write;
  } rows[] = {
      {"pty read, all time-outs zero", false, {0, 0, 0, 0, 0}, false},
      {"pty read, interval only", false, {20, 0, 0, 0, 0}, false},
      {"pty read, long total", false, {0, 0, 600'000, 0, 0}, false},
      {"write into a full pty", false, {0, 0, 0, 0, 0}, true},
      {"loopback read with nothing coming", true, {0, 0, 0, 0, 0}, false},
      {"loopback write held by CTS", true, {0, 0, 0, 0, 0}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::optional<PtyPeer> peer;
    std::optional<morvek::test::ScopedEnv> plug;
    if (row.loopback) {
      plug.emplace("MORVEK_COM8", "loopback");
    } else {
      peer.emplace(8);
    }
    OpenPort port("COM8");
    ASSERT_TRUE(port.ok()) << port.openError();
    ASSERT_TRUE(SetCommTimeouts(port.get(), &row.timeouts));
    if (row.loopback) {
      // CTS follows RTS on the plug: with RTS off, CTS flow holds the output.
      ASSERT_TRUE(morvek::test::ChangeState(port.get(), [](DCB& d) { d.fOutxCtsFlow = 1; }));
      ASSERT_TRUE(EscapeCommFunction(port.get(), CLRRTS));
    }
    std::string buffer(1 << 20, 'w');  // more than a pseudo-terminal or the plug buffers
    DWORD done = 0;
    HANDLE handle = port.get();
    CallOnThread call([&] {
      return row.write ? WriteFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &done, nullptr)
                       : ReadFile(handle, buffer.data(), 4095, &done, nullptr);
    });
    ASSERT_TRUE(call.WaitUntilBlocked());
    EXPECT_TRUE(port.Close());
    auto outcome = call.Finish();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.error, ERROR_OPERATION_ABORTED);
  }
}

TEST(TtyIo, AWriteTimeoutEndsAWriteTheLineCannotTake) {
  PtyPeer peer(9);
  OpenPort port("COM9");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(SetTimeouts(port.get(), 0, 0, 0, 0, 100));
  const std::string block(1 << 20, 'z');
  DWORD written = 0;
  EXPECT_FALSE(WriteFile(port.get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, block.size());
}

TEST(TtyIo, APeerThatWentAwayFailsEveryCall) {
  PtyPeer peer(10);
  OpenPort port("COM10");
  ASSERT_TRUE(port.ok()) << port.openError();
  // A total time-out, so that a read that missed the hang-up ends too.
  ASSERT_TRUE(SetTimeouts(port.get(), 0, 0, 5000));
  peer.Hangup();
  char buffer[16];
  DWORD count = 0;
  DCB dcb{};
  COMSTAT stat{};
  HANDLE h = port.get();
  struct Row {
    const char* call;
    std::function<BOOL()> run;
  } rows[] = {
      {"ReadFile", [&] { return ReadFile(h, buffer, sizeof buffer, &count, nullptr); }},
      {"ReadFile again", [&] { return ReadFile(h, buffer, sizeof buffer, &count, nullptr); }},
      {"WriteFile", [&] { return WriteFile(h, "x", 1, &count, nullptr); }},
      {"ClearCommError", [&] { return ClearCommError(h, &count, &stat); }},
      {"ClearCommError again", [&] { return ClearCommError(h, &count, &stat); }},
      {"GetCommModemStatus", [&] { return GetCommModemStatus(h, &count); }},
      {"EscapeCommFunction", [&] { return EscapeCommFunction(h, SETDTR); }},
      {"GetCommState", [&] { return GetCommState(h, &dcb); }},
      {"SetCommTimeouts", [&] { return SetTimeouts(h, 20); }},
  };
  for (const Row& row : rows) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(row.run()) << row.call;
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_REMOVED) << row.call;
  }
}

TEST(TtyIo, AHangupWakesABlockedReadWithDeviceRemoved) {
  PtyPeer peer(11);
  OpenPort port("COM11");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(SetTimeouts(port.get(), 0, 0, 10'000));
  char buffer[16];
  DWORD got = 0;
  CallOnThread read([&] { return ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr); });
  ASSERT_TRUE(read.WaitUntilBlocked());
  peer.Hangup();
  auto outcome = read.Finish();
  EXPECT_FALSE(outcome.result);
  EXPECT_EQ(outcome.error, ERROR_DEVICE_REMOVED);
}

// Calls ClearCommError until it succeeds or `timeout` passes.
bool PortAnswersWithin(HANDLE port, std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  DWORD errors = 0;
  COMSTAT stat{};
  while (!ClearCommError(port, &errors, &stat)) {
    if (GetLastError() != ERROR_DEVICE_REMOVED || Clock::now() >= end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST(TtyIo, ADeviceThatComesBackUnderItsNameIsReattachedWithItsSettings) {
  morvek::test::TempCurrentDir dir;
  morvek::test::StableNames names(dir.path());
  const std::string link = names.ById("usb-A");
  auto peer = std::make_unique<PtyPeer>(12);
  morvek::test::StableNames::Point(link, peer->SlavePath());
  morvek::test::ScopedEnv named("MORVEK_COM12", link);
  OpenPort port("COM12");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(morvek::test::ChangeState(port.get(), [](DCB& dcb) {
    dcb.BaudRate = 19200;
    dcb.fOutxCtsFlow = 1;
  }));
  peer->Hangup();

  // What the name leads to meanwhile is no serial port: the port stays away.
  morvek::test::WriteFileBytes("plain", "not a tty");
  std::filesystem::create_directory("folder");
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  for (const char* target : {"missing", "plain", "folder", "fifo", "/dev/null"}) {
    SCOPED_TRACE(target);
    morvek::test::StableNames::Point(link, target[0] == '/' ? target : (dir.path() / target).string());
    // An observation window of a few reopen periods, not a wait for an event.
    EXPECT_FALSE(PortAnswersWithin(port.get(), 300ms));
    DWORD count = 0;
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(WriteFile(port.get(), "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_REMOVED);
  }

  // A serial device under the name again: the same handle carries on, with
  // the line settings it had.
  peer = std::make_unique<PtyPeer>(13);
  morvek::test::StableNames::Point(link, peer->SlavePath());
  ASSERT_TRUE(PortAnswersWithin(port.get(), 10s));
  DCB dcb{};
  ASSERT_TRUE(GetCommState(port.get(), &dcb));
  EXPECT_EQ(dcb.BaudRate, 19200u);
  EXPECT_EQ(dcb.fOutxCtsFlow, 1u);
  ASSERT_TRUE(peer->Write("back"));
  EXPECT_EQ(morvek::test::ReadPort(port.get(), 4), "back");
  DWORD count = 0;
  ASSERT_TRUE(WriteFile(port.get(), "ok", 2, &count, nullptr));
  EXPECT_EQ(peer->Read(2), "ok");
}

TEST(TtyIo, APseudoTerminalHasNoModemLinesButSwitchingThemSucceeds) {
  PtyPeer peer(12);
  OpenPort port("COM12");
  ASSERT_TRUE(port.ok()) << port.openError();
  for (DWORD function : {SETDTR, CLRDTR, SETRTS, CLRRTS, SETBREAK, CLRBREAK, SETXOFF, SETXON})
    EXPECT_TRUE(EscapeCommFunction(port.get(), function)) << function;
  DWORD status = 99;
  ASSERT_TRUE(GetCommModemStatus(port.get(), &status));
  EXPECT_EQ(status, 0u);
  // Output suspended by SETXOFF takes nothing until SETXON.
  ASSERT_TRUE(SetTimeouts(port.get(), 0, 0, 0, 0, 100));
  ASSERT_TRUE(EscapeCommFunction(port.get(), SETXOFF));
  DWORD written = 0;
  EXPECT_FALSE(WriteFile(port.get(), "held", 4, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_EQ(written, 0u);
  ASSERT_TRUE(EscapeCommFunction(port.get(), SETXON));
  ASSERT_TRUE(WriteFile(port.get(), "goes", 4, &written, nullptr));
  EXPECT_EQ(peer.Read(4), "goes");
}

}  // namespace
