// The scriptable virtual port that the program's tests put in place of COMn.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iterator>
#include <string>

#include "platform/testing.h"
#include "port_test_support.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::CallOnThread;
using morvek::test::OpenPort;
using morvek::test::ScopedEnv;
using morvek::test::SetTimeouts;
using morvek::testing::VirtualPort;

class VirtualPortTest : public testing::Test {
 protected:
  // Where COM15 would lead without the virtual port: nowhere.
  ScopedEnv m_fallThrough{"MORVEK_COM15", "/nonexistent/virtual-port-fell-through"};
  std::shared_ptr<VirtualPort> m_virtual = VirtualPort::Install(15);
};

TEST_F(VirtualPortTest, OpensInsteadOfTheDeviceAndOnlyOnce) {
  ASSERT_TRUE(m_virtual);
  EXPECT_EQ(m_virtual->OpenCount(), 0);
  {
    OpenPort port("COM15");
    ASSERT_TRUE(port.ok()) << port.openError();
    EXPECT_EQ(m_virtual->OpenCount(), 1);
    OpenPort second("COM15");
    EXPECT_EQ(second.openError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(m_virtual->OpenCount(), 1);
  }
  EXPECT_EQ(m_virtual->OpenCount(), 0);
  m_virtual->RefuseOpen(true);
  OpenPort refused("COM15");
  EXPECT_EQ(refused.openError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(m_virtual->OpenCount(), 0);
}

TEST_F(VirtualPortTest, DroppingThePointerUninstallsIt) {
  OpenPort held("COM15");
  ASSERT_TRUE(held.ok());
  m_virtual.reset();
  // The open handle keeps working; new opens reach the device again.
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(held.get(), "x", 1, &written, nullptr));
  OpenPort next("COM15");
  EXPECT_EQ(next.openError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(VirtualPort::Install(0), nullptr);
  EXPECT_EQ(VirtualPort::Install(17), nullptr);
}

TEST_F(VirtualPortTest, RecordsWhatTheProgramDid) {
  OpenPort port("COM15");
  ASSERT_TRUE(port.ok());
  ASSERT_TRUE(SetTimeouts(port.get(), MAXDWORD));
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(port.get(), "hello", 5, &done, nullptr));
  ASSERT_TRUE(WriteFile(port.get(), " world", 6, &done, nullptr));
  EXPECT_TRUE(m_virtual->WaitWritten(11, 1s));
  EXPECT_FALSE(m_virtual->WaitWritten(12, 10ms));
  EXPECT_EQ(m_virtual->TakeWritten(), "hello world");
  EXPECT_EQ(m_virtual->TakeWritten(), "");
  EXPECT_EQ(m_virtual->WriteSizes(), (std::vector<std::size_t>{5, 6}));

  m_virtual->InjectReceived(std::string("in\0put", 6));
  DWORD errors = 0;
  COMSTAT stat{};
  ASSERT_TRUE(ClearCommError(port.get(), &errors, &stat));
  EXPECT_EQ(stat.cbInQue, 6u);
  char buffer[16];
  ASSERT_TRUE(ReadFile(port.get(), buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(std::string(buffer, done), std::string("in\0put", 6));
  EXPECT_EQ(m_virtual->ReadCalls(), 2);

  EXPECT_EQ(m_virtual->OutputLines(), 0u);
  ASSERT_TRUE(EscapeCommFunction(port.get(), SETDTR));
  EXPECT_EQ(m_virtual->OutputLines(), 1u);
  ASSERT_TRUE(EscapeCommFunction(port.get(), SETRTS));
  ASSERT_TRUE(EscapeCommFunction(port.get(), CLRDTR));
  EXPECT_EQ(m_virtual->OutputLines(), 2u);
  m_virtual->SetModemStatus(MS_CTS_ON | MS_RING_ON);
  DWORD status = 0;
  ASSERT_TRUE(GetCommModemStatus(port.get(), &status));
  EXPECT_EQ(status, static_cast<DWORD>(MS_CTS_ON | MS_RING_ON));

  DCB dcb{};
  ASSERT_TRUE(GetCommState(port.get(), &dcb));
  dcb.BaudRate = 57600;
  ASSERT_TRUE(SetCommState(port.get(), &dcb));
  ASSERT_TRUE(GetCommState(port.get(), &dcb));
  EXPECT_EQ(dcb.BaudRate, 57600u);
}

TEST_F(VirtualPortTest, ScriptedFailures) {
  OpenPort port("COM15");
  ASSERT_TRUE(port.ok());
  ASSERT_TRUE(SetTimeouts(port.get(), MAXDWORD));
  HANDLE h = port.get();
  char buffer[8];
  DWORD value = 0;
  DCB dcb{};
  COMSTAT stat{};
  ASSERT_TRUE(GetCommState(h, &dcb));
  struct Row {
    const char* what;
    void (VirtualPort::*script)(bool);
    std::function<BOOL()> call;
    DWORD error;
  } rows[] = {
      {"refuse configure", &VirtualPort::RefuseConfigure, [&] { return SetCommState(h, &dcb); },
       ERROR_INVALID_PARAMETER},
      {"fail get state", &VirtualPort::FailGetState, [&] { return GetCommState(h, &dcb); }, ERROR_GEN_FAILURE},
      {"fail writes", &VirtualPort::FailWrites, [&] { return WriteFile(h, "x", 1, &value, nullptr); },
       ERROR_WRITE_FAULT},
      {"fail reads: ReadFile", &VirtualPort::FailReads,
       [&] { return ReadFile(h, buffer, sizeof buffer, &value, nullptr); }, ERROR_READ_FAULT},
      {"fail reads: ClearCommError", &VirtualPort::FailReads, [&] { return ClearCommError(h, &value, &stat); },
       ERROR_READ_FAULT},
      {"fail status: modem", &VirtualPort::FailStatus, [&] { return GetCommModemStatus(h, &value); },
       ERROR_GEN_FAILURE},
      {"fail status: escape", &VirtualPort::FailStatus, [&] { return EscapeCommFunction(h, SETDTR); },
       ERROR_GEN_FAILURE},
  };
  for (const Row& row : rows) {
    ((*m_virtual).*row.script)(true);
    EXPECT_FALSE(row.call()) << row.what;
    EXPECT_EQ(GetLastError(), row.error) << row.what;
    ((*m_virtual).*row.script)(false);
    EXPECT_TRUE(row.call()) << row.what;
  }
  EXPECT_EQ(m_virtual->OutputLines(), 1u);
  EXPECT_EQ(m_virtual->TakeWritten(), "x");
}

TEST_F(VirtualPortTest, HeldWritesWaitUntilReleasedOrTimedOut) {
  OpenPort port("COM15");
  ASSERT_TRUE(port.ok());
  m_virtual->HoldWrites(true);
  ASSERT_TRUE(SetTimeouts(port.get(), 0, 0, 0, 0, 30));
  DWORD written = 0;
  EXPECT_FALSE(WriteFile(port.get(), "late", 4, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_EQ(m_virtual->TakeWritten(), "");

  ASSERT_TRUE(SetTimeouts(port.get(), 0));
  CallOnThread write([&] { return WriteFile(port.get(), "held", 4, &written, nullptr); });
  ASSERT_TRUE(write.WaitUntilBlocked());
  EXPECT_EQ(m_virtual->TakeWritten(), "");
  m_virtual->HoldWrites(false);
  EXPECT_TRUE(write.Finish().result);
  EXPECT_EQ(m_virtual->TakeWritten(), "held");
  EXPECT_EQ(m_virtual->WriteSizes(), (std::vector<std::size_t>{4, 4}));
}

TEST_F(VirtualPortTest, UnplugFailsEveryCallAndWakesABlockedRead) {
  OpenPort port("COM15");
  ASSERT_TRUE(port.ok());
  HANDLE h = port.get();
  ASSERT_TRUE(SetTimeouts(h, 0));
  char buffer[8];
  DWORD value = 0;
  DCB dcb{};
  ASSERT_TRUE(GetCommState(h, &dcb));
  CallOnThread read([&] { return ReadFile(h, buffer, sizeof buffer, &value, nullptr); });
  ASSERT_TRUE(read.WaitUntilBlocked());
  m_virtual->Unplug();
  auto outcome = read.Finish();
  EXPECT_FALSE(outcome.result);
  EXPECT_EQ(outcome.error, ERROR_DEVICE_REMOVED);

  COMSTAT stat{};
  COMMTIMEOUTS timeouts{};
  std::function<BOOL()> calls[] = {
      [&] { return ReadFile(h, buffer, sizeof buffer, &value, nullptr); },
      [&] { return WriteFile(h, "x", 1, &value, nullptr); },
      [&] { return ClearCommError(h, &value, &stat); },
      [&] { return GetCommModemStatus(h, &value); },
      [&] { return EscapeCommFunction(h, SETRTS); },
      [&] { return GetCommState(h, &dcb); },
      [&] { return SetCommState(h, &dcb); },
      [&] { return GetCommTimeouts(h, &timeouts); },
      [&] { return SetCommTimeouts(h, &timeouts); },
  };
  for (std::size_t i = 0; i < std::size(calls); ++i) {
    EXPECT_FALSE(calls[i]()) << i;
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_REMOVED) << i;
  }
  OpenPort again("COM15");
  EXPECT_EQ(again.openError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(VirtualPortTest, ClosingWakesABlockedRead) {
  OpenPort port("COM15");
  ASSERT_TRUE(port.ok());
  ASSERT_TRUE(SetTimeouts(port.get(), 20));
  char buffer[8];
  DWORD got = 0;
  CallOnThread read([&] { return ReadFile(port.get(), buffer, sizeof buffer, &got, nullptr); });
  ASSERT_TRUE(read.WaitUntilBlocked());
  EXPECT_TRUE(port.Close());
  auto outcome = read.Finish();
  EXPECT_FALSE(outcome.result);
  EXPECT_EQ(outcome.error, ERROR_OPERATION_ABORTED);
  EXPECT_EQ(m_virtual->OpenCount(), 0);
}

}  // namespace
