#include "port_test_support.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/posix/open_targets.h"
#include "platform/testing.h"

namespace morvek::test {

ScopedEnv::ScopedEnv(const std::string& name, const std::string& value) : m_name(name) {
  setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() { unsetenv(m_name.c_str()); }

OpenPort::OpenPort(const char* name) {
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

BOOL OpenPort::Close() {
  if (m_handle == INVALID_HANDLE_VALUE) return FALSE;
  return CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE));
}

BOOL SetTimeouts(HANDLE port, DWORD interval, DWORD multiplier, DWORD constant, DWORD writeMultiplier,
                 DWORD writeConstant) {
  COMMTIMEOUTS timeouts{interval, multiplier, constant, writeMultiplier, writeConstant};
  return SetCommTimeouts(port, &timeouts);
}

CallOnThread::CallOnThread(std::function<BOOL()> call) {
  m_thread = std::thread([this, call = std::move(call)] {
    m_tid = static_cast<int>(syscall(SYS_gettid));
    m_outcome.result = call();
    m_outcome.error = GetLastError();
  });
}

bool CallOnThread::WaitUntilBlocked() {
  return morvek::testing::PumpUntil(
      [&] {
        // "running" when on a CPU; else the number of the call it sleeps in.
        std::ifstream file("/proc/self/task/" + std::to_string(m_tid) + "/syscall");
        long number = -1;
        return m_tid != 0 && file >> number && (number == SYS_ppoll || number == SYS_futex);
      },
      10s);
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
