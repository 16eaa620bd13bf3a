// Helpers for the port tests: the far side of a pseudo-terminal, an open port
// that closes itself, and a way to know that a thread is blocked in the kernel.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/win32.h"
#include "support/pty_peer.h"

namespace morvek::test {

using namespace std::chrono_literals;

// Sets an environment variable for the life of the object, then removes it.
class ScopedEnv {
 public:
  ScopedEnv(const std::string& name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
};

// A port handle that is closed when the object goes (unless already closed).
// Refuses (failing the test) to open a COMn without MORVEK_COMn, so that no
// test reaches a real /dev/ttyS device.
class OpenPort {
 public:
  explicit OpenPort(const char* name);
  ~OpenPort();
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;

  HANDLE get() const { return m_handle; }
  bool ok() const { return m_handle != INVALID_HANDLE_VALUE; }
  DWORD openError() const { return m_openError; }
  BOOL Close();

 private:
  HANDLE m_handle;
  DWORD m_openError = ERROR_SUCCESS;
};

// Sets the five time-outs; returns SetCommTimeouts' result.
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

// The calling thread's kernel thread id.
pid_t CurrentThreadId();

// Waits until thread `tid` sleeps inside a blocking system call other than
// the ones the test's own threads use for waiting (it is then blocked in the
// port call it was started for). False after `timeout`.
bool WaitUntilBlockedInPort(pid_t tid, std::chrono::milliseconds timeout = 10s);

// A port call run on a thread of its own, for the tests that close the handle
// or hang up the line under it.
class CallOnThread {
 public:
  struct Outcome {
    BOOL result = FALSE;
    DWORD error = ERROR_SUCCESS;  // GetLastError() on that thread after the call
  };
  explicit CallOnThread(std::function<BOOL()> call);
  ~CallOnThread();
  CallOnThread(const CallOnThread&) = delete;
  CallOnThread& operator=(const CallOnThread&) = delete;

  // Waits until the call is blocked in the port (see WaitUntilBlockedInPort).
  bool WaitUntilBlocked();
  // Waits for the call to return.
  Outcome Finish();

 private:
  std::function<BOOL()> m_call;
  Outcome m_outcome;
  std::atomic<pid_t> m_tid{0};
  std::thread m_thread;
};

// Waits until the port's input queue holds `count` bytes; false after 10 s.
bool WaitQueued(HANDLE port, DWORD count);

// Reads until `count` bytes came or the reads stop delivering for `timeout`.
std::string ReadPort(HANDLE port, std::size_t count, std::chrono::milliseconds timeout = 10s);

}  // namespace morvek::test
