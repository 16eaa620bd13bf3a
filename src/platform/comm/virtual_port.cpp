// The scriptable port of testing.h. A ScriptedPort holds what the test set and
// what the program did; each open handle is a VirtualPortHandle that shares it.
#include "comm/port_openers.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "comm/port_device.h"
#include "core/last_error.h"
#include "testing.h"

namespace morvek::comm {

namespace {

class ScriptedPort final : public testing::VirtualPort {
 public:
  void RefuseOpen(bool on) override { Set(&ScriptedPort::m_refuseOpen, on); }
  void RefuseConfigure(bool on) override { Set(&ScriptedPort::m_refuseConfigure, on); }
  void FailGetState(bool on) override { Set(&ScriptedPort::m_failGetState, on); }
  void FailWrites(bool on) override {
    std::lock_guard lock(m_mutex);
    m_failWrites = on;
    m_writesBeforeFailure = -1;
  }
  void FailWritesAfter(int writes) override {
    std::lock_guard lock(m_mutex);
    m_writesBeforeFailure = writes;
  }
  void HoldWrites(bool on) override { Set(&ScriptedPort::m_holdWrites, on); }
  void FailReads(bool on) override { Set(&ScriptedPort::m_failReads, on); }
  void FailStatus(bool on) override { Set(&ScriptedPort::m_failStatus, on); }
  void Unplug() override { Set(&ScriptedPort::m_unplugged, true); }

  void InjectReceived(const std::string& bytes) override {
    std::lock_guard lock(m_mutex);
    m_received += bytes;
    m_changed.notify_all();
  }
  void SetModemStatus(DWORD msBits) override {
    std::lock_guard lock(m_mutex);
    m_modemStatus = msBits;
  }
  std::string TakeWritten() override {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_written, {});
  }
  bool WaitWritten(std::size_t count, std::chrono::milliseconds timeout) override {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_written.size() >= count; });
  }
  std::vector<std::size_t> WriteSizes() override {
    std::lock_guard lock(m_mutex);
    return m_writeSizes;
  }
  DWORD OutputLines() override {
    std::lock_guard lock(m_mutex);
    return m_outputLines;
  }
  int OpenCount() override {
    std::lock_guard lock(m_mutex);
    return m_openCount;
  }
  int ReadCalls() override {
    std::lock_guard lock(m_mutex);
    return m_readCalls;
  }

  // The handle's side. Each takes the lock itself.

  // Counts an opener in; the error when the script or an open handle refuses.
  DWORD Attach() {
    std::lock_guard lock(m_mutex);
    if (m_refuseOpen || m_unplugged) return ERROR_FILE_NOT_FOUND;
    if (m_openCount > 0) return ERROR_ACCESS_DENIED;
    ++m_openCount;
    return ERROR_SUCCESS;
  }
  void Detach() {
    std::lock_guard lock(m_mutex);
    --m_openCount;
    m_changed.notify_all();
  }
  void CountReadCall() {
    std::lock_guard lock(m_mutex);
    ++m_readCalls;
  }
  void CountWriteCall(std::size_t count) {
    std::lock_guard lock(m_mutex);
    m_writeSizes.push_back(count);
  }

  // Waits as ReadSome documents; `cancelled` tells whether the handle is closed.
  template <class Cancelled>
  PortStep Receive(char* buffer, std::size_t want, Deadline deadline, Cancelled cancelled) {
    std::unique_lock lock(m_mutex);
    for (;;) {
      if (cancelled()) return {ERROR_OPERATION_ABORTED};
      if (m_unplugged) return {ERROR_DEVICE_REMOVED};
      if (m_failReads) return {ERROR_READ_FAULT};
      if (!m_received.empty()) {
        std::size_t count = std::min(want, m_received.size());
        m_received.copy(buffer, count);
        m_received.erase(0, count);
        return {ERROR_SUCCESS, count};
      }
      if (!WaitUntil(lock, deadline)) return {};
    }
  }

  template <class Cancelled>
  PortStep Send(const char* buffer, std::size_t count, Deadline deadline, Cancelled cancelled) {
    std::unique_lock lock(m_mutex);
    for (;;) {
      if (cancelled()) return {ERROR_OPERATION_ABORTED};
      if (m_unplugged) return {ERROR_DEVICE_REMOVED};
      if (m_failWrites) return {ERROR_WRITE_FAULT};
      if (!m_holdWrites) {
        if (m_writesBeforeFailure == 0) {
          m_failWrites = true;
          return {ERROR_WRITE_FAULT};
        }
        if (m_writesBeforeFailure > 0) --m_writesBeforeFailure;
        m_written.append(buffer, count);
        m_changed.notify_all();
        return {ERROR_SUCCESS, count};
      }
      if (!WaitUntil(lock, deadline)) return {};
    }
  }

  DWORD CheckReadState() {
    std::lock_guard lock(m_mutex);
    if (m_unplugged) return ERROR_DEVICE_REMOVED;
    return m_failGetState ? ERROR_GEN_FAILURE : ERROR_SUCCESS;
  }
  DWORD CheckConfigure() {
    std::lock_guard lock(m_mutex);
    if (m_unplugged) return ERROR_DEVICE_REMOVED;
    return m_refuseConfigure ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  }
  DWORD QueryQueues(COMSTAT* stat) {
    std::lock_guard lock(m_mutex);
    ++m_readCalls;
    if (m_unplugged) return ERROR_DEVICE_REMOVED;
    if (m_failReads) return ERROR_READ_FAULT;
    stat->cbInQue = static_cast<DWORD>(m_received.size());
    return ERROR_SUCCESS;
  }
  DWORD SwitchLine(DWORD function) {
    std::lock_guard lock(m_mutex);
    if (m_unplugged) return ERROR_DEVICE_REMOVED;
    if (m_failStatus) return ERROR_GEN_FAILURE;
    switch (function) {
      case SETDTR: m_outputLines |= 1; return ERROR_SUCCESS;
      case CLRDTR: m_outputLines &= ~1u; return ERROR_SUCCESS;
      case SETRTS: m_outputLines |= 2; return ERROR_SUCCESS;
      case CLRRTS: m_outputLines &= ~2u; return ERROR_SUCCESS;
      case SETBREAK:
      case CLRBREAK:
      case SETXON:
      case SETXOFF: return ERROR_SUCCESS;
      default: return ERROR_INVALID_PARAMETER;
    }
  }
  DWORD ReadModemLines(DWORD* status) {
    std::lock_guard lock(m_mutex);
    if (m_unplugged) return ERROR_DEVICE_REMOVED;
    if (m_failStatus) return ERROR_GEN_FAILURE;
    *status = m_modemStatus;
    return ERROR_SUCCESS;
  }
  DWORD CheckPresent() {
    std::lock_guard lock(m_mutex);
    return m_unplugged ? ERROR_DEVICE_REMOVED : ERROR_SUCCESS;
  }

 private:
  void Set(bool ScriptedPort::*flag, bool on) {
    std::lock_guard lock(m_mutex);
    this->*flag = on;
    m_changed.notify_all();
  }
  // Waits for a change until `deadline`; false once the deadline has passed.
  bool WaitUntil(std::unique_lock<std::mutex>& lock, Deadline deadline) {
    if (deadline == NoDeadline()) {
      m_changed.wait(lock);
      return true;
    }
    if (PortClock::now() >= deadline) return false;
    m_changed.wait_until(lock, deadline);
    return true;
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_refuseOpen = false;
  bool m_refuseConfigure = false;
  bool m_failGetState = false;
  bool m_failWrites = false;
  bool m_holdWrites = false;
  int m_writesBeforeFailure = -1;  // -1: no failure planned
  bool m_failReads = false;
  bool m_failStatus = false;
  bool m_unplugged = false;
  std::string m_received;
  DWORD m_modemStatus = 0;
  DWORD m_outputLines = 0;
  std::string m_written;
  std::vector<std::size_t> m_writeSizes;
  int m_openCount = 0;
  int m_readCalls = 0;
};

class VirtualPortHandle final : public PortDevice {
 public:
  explicit VirtualPortHandle(std::shared_ptr<ScriptedPort> port) : m_port(std::move(port)) {}
  ~VirtualPortHandle() override {
    if (!IsCancelled()) m_port->Detach();
  }

  BOOL Read(void* buffer, DWORD count, DWORD* done) override {
    m_port->CountReadCall();
    return PortDevice::Read(buffer, count, done);
  }
  BOOL Write(const void* buffer, DWORD count, DWORD* done) override {
    m_port->CountWriteCall(count);
    return PortDevice::Write(buffer, count, done);
  }

 protected:
  PortStep ReadSome(char* buffer, std::size_t want, Deadline deadline, std::chrono::milliseconds) override {
    return m_port->Receive(buffer, want, deadline, [this] { return IsCancelled(); });
  }
  PortStep WriteSome(const char* buffer, std::size_t count, Deadline deadline) override {
    return m_port->Send(buffer, count, deadline, [this] { return IsCancelled(); });
  }
  void OnCancel() override { m_port->Detach(); }
  DWORD ReadLineState(DCB*) override { return m_port->CheckReadState(); }
  DWORD ApplyLineState(const DCB&) override { return m_port->CheckConfigure(); }
  DWORD QueryQueues(DWORD* errors, COMSTAT* stat) override {
    *errors = 0;
    return m_port->QueryQueues(stat);
  }
  DWORD SwitchLine(DWORD function) override { return m_port->SwitchLine(function); }
  DWORD ReadModemLines(DWORD* status) override { return m_port->ReadModemLines(status); }
  DWORD CheckPresent() override { return m_port->CheckPresent(); }

 private:
  std::shared_ptr<ScriptedPort> m_port;
};

struct Installed {
  std::mutex mutex;
  std::array<std::shared_ptr<ScriptedPort>, 17> ports;  // index = n
};

Installed& InstalledPorts() {
  static Installed installed;
  return installed;
}

std::shared_ptr<ScriptedPort> FindInstalled(int n) {
  if (n < 1 || n > 16) return nullptr;
  auto& installed = InstalledPorts();
  std::lock_guard lock(installed.mutex);
  return installed.ports[n];
}

}  // namespace

std::optional<HANDLE> OpenVirtualPort(int n) {
  auto port = FindInstalled(n);
  if (!port) return std::nullopt;
  if (DWORD error = port->Attach()) {
    core::Fail(error);
    return INVALID_HANDLE_VALUE;
  }
  return core::RegisterHandle(std::make_shared<VirtualPortHandle>(std::move(port)));
}

}  // namespace morvek::comm

namespace morvek::testing {

std::shared_ptr<VirtualPort> VirtualPort::Install(int n) {
  if (n < 1 || n > 16) return nullptr;
  auto port = std::make_shared<comm::ScriptedPort>();
  auto& installed = comm::InstalledPorts();
  {
    std::lock_guard lock(installed.mutex);
    installed.ports[n] = port;
  }
  // The test's pointer uninstalls the port when it goes; handles still open
  // keep the port itself alive through their own pointers.
  return std::shared_ptr<VirtualPort>(port.get(), [port, n](VirtualPort*) {
    auto& table = comm::InstalledPorts();
    std::lock_guard lock(table.mutex);
    if (table.ports[n] == port) table.ports[n].reset();
  });
}

}  // namespace morvek::testing
