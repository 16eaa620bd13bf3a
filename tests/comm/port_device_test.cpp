// What every kind of port does alike: a burst is one read, a write time-out
// ends a held write, closing the handle wakes a call blocked in it, and a port
// whose device went away fails every call, at once.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/testing.h"
#include "port_test_support.h"
#include "support/stable_names.h"
#include "support/temp_dir.h"

namespace {

using morvek::test::CallOnThread;
using morvek::test::OpenPort;
using morvek::test::ScopedEnv;

enum class Kind { Pty, Loopback, Virtual };

class PortDevice : public testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    switch (GetParam()) {
      case Kind::Pty:
        // The port goes by a name that is taken away before the device, as
        // udev removes an unplugged adapter's link. The port, waiting for its
        // device to come back, opens its name again; the freed pty number
        // itself soon belongs to another program's new pty.
        m_peer.emplace();
        m_folder.emplace();
        m_link = (m_folder->path() / "pty").string();
        morvek::test::StableNames::Point(m_link, m_peer->SlavePath());
        m_env.emplace("MORVEK_COM8", m_link);
        break;
      case Kind::Loopback: m_env.emplace("MORVEK_COM8", "loopback"); break;
      case Kind::Virtual:
        // Where COM8 would lead without the virtual port: nowhere.
        m_env.emplace("MORVEK_COM8", "/nonexistent/virtual-port-fell-through");
        m_virtual = morvek::testing::VirtualPort::Install(8);
        break;
    }
  }
  // Holds the output so that a long enough write blocks.
  void HoldOutput(HANDLE port) {
    if (GetParam() == Kind::Loopback) {
      // CTS follows RTS on the plug: with RTS off, CTS flow holds the output.
      ASSERT_TRUE(morvek::test::ChangeState(port, [](DCB& d) { d.fOutxCtsFlow = 1; }));
      ASSERT_TRUE(EscapeCommFunction(port, CLRRTS));
    }
    if (m_virtual) m_virtual->HoldWrites(true);
    // A pseudo-terminal whose peer does not read fills up.
  }
  // Puts bytes on the port's input, as the device at the far end would.
  void Feed(HANDLE port, const std::string& bytes) {
    DWORD written = 0;
    switch (GetParam()) {
      case Kind::Pty: ASSERT_TRUE(m_peer->Write(bytes)); break;
      case Kind::Loopback:
        ASSERT_TRUE(WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        break;
      case Kind::Virtual: m_virtual->InjectReceived(bytes); break;
    }
  }
  // Takes the device away under the open port (the plug cannot go).
  void Unplug() {
    if (m_peer) {
      morvek::test::StableNames::Remove(m_link);
      m_peer->Hangup();
    }
    if (m_virtual) m_virtual->Unplug();
  }

  std::optional<morvek::test::TempCurrentDir> m_folder;
  std::string m_link;
  std::optional<morvek::test::PtyPeer> m_peer;
  std::optional<ScopedEnv> m_env;
  std::shared_ptr<morvek::testing::VirtualPort> m_virtual;
};

TEST_P(PortDevice, ABurstIsOneReadAndAPauseLongerThanTheIntervalEndsIt) {
  OpenPort port("COM8");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(morvek::test::ChangeState(port.get(), [](DCB& d) { d.BaudRate = 115200; }));
  ASSERT_TRUE(morvek::test::SetTimeouts(port.get(), 50));
  char buffer[4095];
  // Short enough for a pseudo-terminal to pass the burst on in one piece.
  for (const std::string& burst : {std::string(1000, 'b'), std::string("next")}) {
    // Each burst is fed only after the read of the one before returned.
    Feed(port.get(), burst);
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), burst);
  }
}

TEST_P(PortDevice, AWriteTimeoutEndsAHeldWrite) {
  OpenPort port("COM8");
  ASSERT_TRUE(port.ok()) << port.openError();
  ASSERT_TRUE(morvek::test::SetTimeouts(port.get(), 0, 0, 0, 0, 100));
  HoldOutput(port.get());
  const std::string block(1 << 20, 'z');
  DWORD written = 0;
  EXPECT_FALSE(WriteFile(port.get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  // What the line took before it stopped is counted; the virtual port holds
  // every byte back.
  EXPECT_EQ(written > 0, GetParam() != Kind::Virtual);
  EXPECT_LT(written, block.size());
}

TEST_P(PortDevice, ClosingTheHandleWakesABlockedCall) {
  struct Row {
    const char* what;
    COMMTIMEOUTS timeouts;
    bool write;
  } rows[] = {
      {"read, all time-outs zero", {0, 0, 0, 0, 0}, false},
      {"read, interval only", {20, 0, 0, 0, 0}, false},
      {"read, long total", {0, 0, 600'000, 0, 0}, false},
      {"held write", {0, 0, 0, 0, 0}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    OpenPort port("COM8");
    ASSERT_TRUE(port.ok()) << port.openError();
    ASSERT_TRUE(SetCommTimeouts(port.get(), &row.timeouts));
    HoldOutput(port.get());
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
  if (m_virtual) {
    EXPECT_EQ(m_virtual->OpenCount(), 0);
  }
}

using PortDeviceGone = PortDevice;

TEST_P(PortDeviceGone, ADeviceThatWentAwayWakesABlockedReadAndFailsEveryCall) {
  OpenPort port("COM8");
  ASSERT_TRUE(port.ok()) << port.openError();
  HANDLE h = port.get();
  // A total time-out, so that a read that missed the hang-up ends too.
  ASSERT_TRUE(morvek::test::SetTimeouts(h, 0, 0, 10'000));
  char buffer[16];
  DWORD value = 0;
  CallOnThread read([&] { return ReadFile(h, buffer, sizeof buffer, &value, nullptr); });
  ASSERT_TRUE(read.WaitUntilBlocked());
  Unplug();
  auto outcome = read.Finish();
  EXPECT_FALSE(outcome.result);
  EXPECT_EQ(outcome.error, ERROR_DEVICE_REMOVED);

  DCB dcb{};
  COMSTAT stat{};
  COMMTIMEOUTS timeouts{20, 0, 0, 0, 0};
  struct Row {
    const char* call;
    std::function<BOOL()> run;
  } rows[] = {
      {"ReadFile", [&] { return ReadFile(h, buffer, sizeof buffer, &value, nullptr); }},
      {"WriteFile", [&] { return WriteFile(h, "x", 1, &value, nullptr); }},
      {"ClearCommError", [&] { return ClearCommError(h, &value, &stat); }},
      {"GetCommModemStatus", [&] { return GetCommModemStatus(h, &value); }},
      {"EscapeCommFunction", [&] { return EscapeCommFunction(h, SETDTR); }},
      {"GetCommState", [&] { return GetCommState(h, &dcb); }},
      {"SetCommState", [&] { return SetCommState(h, &dcb); }},
      {"SetCommTimeouts", [&] { return SetCommTimeouts(h, &timeouts); }},
  };
  for (int round = 0; round < 2; ++round) {  // and again: it stays so
    for (const Row& row : rows) {
      SetLastError(ERROR_SUCCESS);
      EXPECT_FALSE(row.run()) << row.call;
      EXPECT_EQ(GetLastError(), ERROR_DEVICE_REMOVED) << row.call;
    }
  }
  // The name no longer opens.
  OpenPort again("COM8");
  EXPECT_EQ(again.openError(), ERROR_FILE_NOT_FOUND);
}

std::string KindName(const testing::TestParamInfo<Kind>& info) {
  const char* names[] = {"Pty", "Loopback", "Virtual"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Kinds, PortDevice, testing::Values(Kind::Pty, Kind::Loopback, Kind::Virtual), KindName);
INSTANTIATE_TEST_SUITE_P(Kinds, PortDeviceGone, testing::Values(Kind::Pty, Kind::Virtual), KindName);

}  // namespace
