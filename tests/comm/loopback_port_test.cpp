// The loopback plug through the port calls, as the program uses it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "port_test_support.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::CallOnThread;
using morvek::test::ChangeState;
using morvek::test::OpenPort;
using morvek::test::ScopedEnv;
using morvek::test::SetTimeouts;
using morvek::test::WaitQueued;

class LoopbackPort : public testing::Test {
 protected:
  ScopedEnv m_env{"MORVEK_COM13", "loopback"};
  OpenPort m_port{"COM13"};

  void SetUp() override { ASSERT_TRUE(m_port.ok()) << m_port.openError(); }
  HANDLE port() const { return m_port.get(); }
  void Write(const std::string& bytes) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(port(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
  }
  std::string ReadOnce() {
    char buffer[4095];
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(port(), buffer, sizeof buffer, &got, nullptr));
    return std::string(buffer, got);
  }
};

TEST_F(LoopbackPort, AReaderThatFallsBehindLosesNothing) {
  // The writer fills the input queue and then waits, as a line held by flow
  // control does, until the reader makes room.
  ASSERT_TRUE(ChangeState(port(), [](DCB& d) { d.BaudRate = 2000000; }));
  ASSERT_TRUE(SetTimeouts(port(), 200));
  std::string sent;
  for (int i = 0; i < 100'000; ++i) sent.push_back(static_cast<char>((i * 7) ^ (i >> 8)));
  DWORD written = 0;
  CallOnThread writer(
      [&] { return WriteFile(port(), sent.data(), static_cast<DWORD>(sent.size()), &written, nullptr); });
  ASSERT_TRUE(WaitQueued(port(), 16384));
  DWORD errors = 0;
  COMSTAT stat{};
  ASSERT_TRUE(ClearCommError(port(), &errors, &stat));
  EXPECT_EQ(stat.cbInQue, 16384u);
  EXPECT_EQ(errors, 0u);
  EXPECT_EQ(morvek::test::ReadPort(port(), sent.size(), 60s), sent);
  EXPECT_TRUE(writer.Finish().result);
  EXPECT_EQ(written, sent.size());
}

TEST_F(LoopbackPort, ABurstIsOneRead) {
  ASSERT_TRUE(ChangeState(port(), [](DCB& d) { d.BaudRate = 115200; }));
  ASSERT_TRUE(SetTimeouts(port(), 20));
  Write(std::string(3000, 'b'));
  EXPECT_EQ(ReadOnce(), std::string(3000, 'b'));
  Write("next");
  EXPECT_EQ(ReadOnce(), "next");
}

TEST_F(LoopbackPort, ModemOutputsLoopToTheInputs) {
  struct Row {
    DWORD dtr, rts, status;
  } rows[] = {
      {CLRDTR, CLRRTS, 0},
      {SETDTR, CLRRTS, MS_DSR_ON | MS_RLSD_ON},
      {CLRDTR, SETRTS, MS_CTS_ON},
      {SETDTR, SETRTS, MS_DSR_ON | MS_RLSD_ON | MS_CTS_ON},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(EscapeCommFunction(port(), row.dtr));
    ASSERT_TRUE(EscapeCommFunction(port(), row.rts));
    DWORD status = 0;
    ASSERT_TRUE(GetCommModemStatus(port(), &status));
    EXPECT_EQ(status, row.status) << row.dtr << "/" << row.rts;
  }
}

TEST_F(LoopbackPort, HeldOutputTimesOutAWriteOnceTheQueueIsFull) {
  ASSERT_TRUE(ChangeState(port(), [](DCB& d) { d.fOutxCtsFlow = 1; }));
  ASSERT_TRUE(EscapeCommFunction(port(), CLRRTS));
  ASSERT_TRUE(SetTimeouts(port(), 0, 0, 0, 0, 50));
  const std::string block(5000, 'w');
  DWORD written = 0;
  EXPECT_FALSE(WriteFile(port(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_EQ(written, 4096u);
  DWORD errors = 0;
  COMSTAT stat{};
  ASSERT_TRUE(ClearCommError(port(), &errors, &stat));
  EXPECT_TRUE(stat.fCtsHold);
  EXPECT_EQ(stat.cbOutQue, 4096u);
  EXPECT_EQ(stat.cbInQue, 0u);
}

}  // namespace
