// Helpers for the port tests: an environment variable for a while, an open
// port that closes itself, the time-outs in one call, a change of the line
// settings, and a port call run on a thread of its own.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "platform/posix/open_targets.h"
#include "platform/testing.h"
#include "platform/win32.h"
#include "support/pty_peer.h"

namespace morvek::test {

using namespace std::chrono_literals;

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const std::string& value) : m_name(name) {
    setenv(name.c_str(), value.c_str(), 1);
  }
  ~ScopedEnv() { unsetenv(m_name.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
};

// A port handle closed with the object. Refuses (failing the test) a COMn
// without MORVEK_COMn, so that no test reaches a real /dev/ttyS device.
class OpenPort {
 public:
  explicit OpenPort(const char* name) {
    const int n = morvek::posix::ComPortNumber(name);
    if (n == 0 || !std::getenv(("MORVEK_COM" + std::to_string(n)).c_str())) {
      ADD_FAILURE() << name << " has no MORVEK_COM variable: the test would open a real serial port";
      m_openError = ERROR_FILE_NOT_FOUND;
      return;
    }
    m_handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (m_handle == INVALID_HANDLE_VALUE) m_openError = GetLastError();
  }
  ~OpenPort() { Close(); }
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;

  HANDLE get() const { return m_handle; }
  bool ok() const { return m_handle != INVALID_HANDLE_VALUE; }
  DWORD openError() const { return m_openError; }
  BOOL Close() {
    return m_handle != INVALID_HANDLE_VALUE && CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
  }

 private:
  HANDLE m_handle = INVALID_HANDLE_VALUE;
  DWORD m_openError = ERROR_SUCCESS;
};

inline BOOL SetTimeouts(HANDLE port, DWORD interval, DWORD multiplier = 0, DWORD constant = 0,
                        DWORD writeMultiplier = 0, DWORD writeConstant = 0) {
  COMMTIMEOUTS timeouts{interval, multiplier, constant, writeMultiplier, writeConstant};
  return SetCommTimeouts(port, &timeouts);
}

// Applies `change` to the port's current DCB; returns SetCommState's result.
template <class Change>
BOOL ChangeState(HANDLE port, Change change) {
  DCB dcb{};
  if (!GetCommState(port, &dcb)) return FALSE;
  change(dcb);
  return SetCommState(port, &dcb);
}

// A port call on a thread of its own, for the tests that close the handle or
// hang up the line under it.
class CallOnThread {
 public:
  struct Outcome {
    BOOL result = FALSE;
    DWORD error = ERROR_SUCCESS;  // GetLastError() on that thread after the call
  };
  explicit CallOnThread(std::function<BOOL()> call)
      : m_thread([this, call = std::move(call)] {
          m_tid = static_cast<int>(syscall(SYS_gettid));
          m_outcome.result = call();
          m_outcome.error = GetLastError();
        }) {}
  ~CallOnThread() { Finish(); }
  CallOnThread(const CallOnThread&) = delete;
  CallOnThread& operator=(const CallOnThread&) = delete;

  // Waits (10 s at most) until the call sleeps in the kernel, in a wait other
  // than the test's own: it is then blocked in the port.
  bool WaitUntilBlocked() {
    return morvek::testing::PumpUntil(
        [&] {
          // "running" when on a CPU; else the number of the call it sleeps in.
          std::ifstream file("/proc/self/task/" + std::to_string(m_tid) + "/syscall");
          long number = -1;
          return m_tid != 0 && file >> number && (number == SYS_ppoll || number == SYS_futex);
        },
        10s);
  }
  Outcome Finish() {
    if (m_thread.joinable()) m_thread.join();
    return m_outcome;
  }

 private:
  Outcome m_outcome;
  std::atomic<int> m_tid{0};
  std::thread m_thread;
};

}  // namespace morvek::test
