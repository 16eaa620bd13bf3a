// The loopback plug through the port calls, as the program uses it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "port_test_support.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::ChangeState;
using morvek::test::OpenPort;
using morvek::test::ScopedEnv;
using morvek::test::SetTimeouts;

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

TEST_F(LoopbackPort, ABurstIsOneRead) {
  ASSERT_TRUE(ChangeState(port(), [](DCB& d) { d.BaudRate = 115200; }));
  ASSERT_TRUE(SetTimeouts(port(), 20));
  Write(std::string(3000, 'b'));
  EXPECT_EQ(ReadOnce(), std::string(3000, 'b'));
  Write("next");
  EXPECT_EQ(ReadOnce(), "next");
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
