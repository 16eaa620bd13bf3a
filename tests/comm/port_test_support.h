// Helpers for the port tests: an open port that closes itself, the time-outs
// in one call, and a port call run on a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/win32.h"
#include "support/pty_peer.h"

namespace morvek::test {

using namespace std::chrono_literals;

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
};

// A port handle closed with the object. Refuses (failing the test) a COMn
// without MORVEK_COMn, so that no test reaches a real /dev/ttyS device.
class OpenPort {
 public:
  explicit OpenPort(const char* name);
  ~OpenPort() { Close(); }
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;

  HANDLE get() const { return m_handle; }
  bool ok() const { return m_handle != INVALID_HANDLE_VALUE; }
  DWORD openError() const { return m_openError; }
  BOOL Close();

 private:
  HANDLE m_handle = INVALID_HANDLE_VALUE;
  DWORD m_openError = ERROR_SUCCESS;
};

BOOL SetTimeouts(HANDLE port, DWORD interval, DWORD multiplier = 0, DWORD constant = 0,
                 DWORD writeMultiplier = 0, DWORD writeConstant = 0);

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
  explicit CallOnThread(std::function<BOOL()> call);
  ~CallOnThread() { Finish(); }
  CallOnThread(const CallOnThread&) = delete;
  CallOnThread& operator=(const CallOnThread&) = delete;

  // Waits (10 s at most) until the call sleeps in the kernel, in a wait other
  // than the test's own: it is then blocked in the port.
  bool WaitUntilBlocked();
  Outcome Finish();

 private:
  Outcome m_outcome;
  std::atomic<int> m_tid{0};
  std::thread m_thread;
};

// Waits until the port's input queue holds `count` bytes; false after 10 s.
bool WaitQueued(HANDLE port, DWORD count);

// Reads until `count` bytes came or the reads stop delivering for `timeout`.
std::string ReadPort(HANDLE port, std::size_t count, std::chrono::milliseconds timeout = 10s);

}  // namespace morvek::test
