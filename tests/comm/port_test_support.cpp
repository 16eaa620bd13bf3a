#include "port_test_support.h"

#include "platform/posix/open_targets.h"
#include "platform/testing.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace morvek::test {

ScopedEnv::ScopedEnv(const std::string& name, const std::string& value) : m_name(name) {
  setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() { unsetenv(m_name.c_str()); }


OpenPort::OpenPort(const char* name) : m_handle(INVALID_HANDLE_VALUE) {
  // Without MORVEK_COMn the port would be /dev/ttyS<n-1>, perhaps the console.
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

OpenPort::~OpenPort() { Close(); }

BOOL OpenPort::Close() {
  if (m_handle == INVALID_HANDLE_VALUE) return FALSE;
  BOOL closed = CloseHandle(m_handle);
  m_handle = INVALID_HANDLE_VALUE;
  return closed;
}

BOOL SetTimeouts(HANDLE port, DWORD interval, DWORD multiplier, DWORD constant, DWORD writeMultiplier,
                 DWORD writeConstant) {
  COMMTIMEOUTS timeouts{interval, multiplier, constant, writeMultiplier, writeConstant};
  return SetCommTimeouts(port, &timeouts);
}

pid_t CurrentThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

bool WaitUntilBlockedInPort(pid_t tid, std::chrono::milliseconds timeout) {
  const std::string path = "/proc/self/task/" + std::to_string(tid) + "/syscall";
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    std::ifstream file(path);
    long number = -1;
    // "running" when on a CPU; else the number of the call it sleeps in.
    if (file >> number && (number == SYS_ppoll || number == SYS_futex)) return true;
    std::this_thread::sleep_for(1ms);
  }
  return false;
}

CallOnThread::CallOnThread(std::function<BOOL()> call) : m_call(std::move(call)) {
  m_thread = std::thread([this] {
    m_tid = CurrentThreadId();
    m_outcome.result = m_call();
    m_outcome.error = GetLastError();
  });
}

CallOnThread::~CallOnThread() {
  if (m_thread.joinable()) m_thread.join();
}

bool CallOnThread::WaitUntilBlocked() {
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (m_tid == 0 && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(1ms);
  return m_tid != 0 && WaitUntilBlockedInPort(m_tid);
}

CallOnThread::Outcome CallOnThread::Finish() {
  if (m_thread.joinable()) m_thread.join();
  return m_outcome;
}

bool WaitQueued(HANDLE port, DWORD count) {
  return morvek::testing::PumpUntil(
      [&] {
        COMSTAT stat{};
        DWORD errors = 0;
        return ClearCommError(port, &errors, &stat) && stat.cbInQue == count;
      },
      10s);
}

std::string ReadPort(HANDLE port, std::size_t count, std::chrono::milliseconds timeout) {
  std::string bytes;
  std::vector<char> buffer(count);
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (bytes.size() < count && std::chrono::steady_clock::now() < end) {
    DWORD got = 0;
    if (!ReadFile(port, buffer.data(), static_cast<DWORD>(count - bytes.size()), &got, nullptr)) break;
    bytes.append(buffer.data(), got);
  }
  return bytes;
}

}  // namespace morvek::test
