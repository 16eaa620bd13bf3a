// The common part of every serial port object: the read and write loops that
// honour COMMTIMEOUTS, cancellation, the "device went away" state, and the DCB
// fields that a device keeps no notion of. A concrete port (a tty, the loopback
// plug, a test's virtual port) supplies only small primitives: take some bytes,
// hand over some bytes, apply and read line settings, switch lines.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>

#include "core/kernel_object.h"
#include "win32_comm.h"

namespace morvek::comm {

using PortClock = std::chrono::steady_clock;

// A point in time a primitive must not wait past; NoDeadline() waits for ever.
using Deadline = PortClock::time_point;
constexpr Deadline NoDeadline() { return Deadline::max(); }

// The DCB a port reports before any SetCommState: 9600 baud, 8 data bits, no
// parity, one stop bit, no flow control, DC1/DC3 as XON/XOFF, DTR and RTS
// enabled (Linux raises both when a tty is opened).
DCB DefaultPortState();

// ERROR_SUCCESS when a DCB is one SetCommState accepts (see win32_comm.h),
// else ERROR_INVALID_PARAMETER.
DWORD CheckPortState(const DCB& dcb);

// The result of one primitive step: an error code (ERROR_SUCCESS when the step
// worked) and the number of bytes it moved.
struct PortStep {
  DWORD error = ERROR_SUCCESS;
  std::size_t count = 0;
};

// Thread use: one thread may read while another writes, switches lines, reads
// the state or closes the handle. All public members are safe to call at once.
class PortDevice : public core::KernelObject {
 public:
  PortDevice();

  // ReadFile and WriteFile with the COMMTIMEOUTS rules of win32_comm.h. Fail
  // with ERROR_OPERATION_ABORTED once the handle is closed, and with
  // ERROR_DEVICE_REMOVED once the device is gone (bytes that arrived before it
  // went are still delivered by the read that finds them; the device's
  // primitives keep reporting the removal to every later call). Bytes
  // received or sent keep the system timer fine for a while (system_tick.h).
  // A write on the window thread lets the window go on painting while it
  // waits (see window_wait.h).
  BOOL Read(void* buffer, DWORD count, DWORD* done) override;
  BOOL Write(const void* buffer, DWORD count, DWORD* done) override;

  // Wakes every blocked call and releases the port for the next opener (so a
  // new CreateFileA may succeed while a woken call is still on its way out).
  void Cancel() final;

  BOOL GetState(DCB* dcb);
  BOOL SetState(const DCB& dcb);
  BOOL GetTimeouts(COMMTIMEOUTS* timeouts);
  BOOL SetTimeouts(const COMMTIMEOUTS& timeouts);
  BOOL ClearError(DWORD* errors, COMSTAT* stat);
  BOOL Escape(DWORD function);
  BOOL GetModemStatus(DWORD* status);

 protected:
  // Waits until some input is there or `deadline` passes, then takes up to
  // `want` bytes (count 0 only once the deadline has passed). It may wait for
  // more bytes, up to `want`, as long as it neither passes the deadline nor
  // lets a pause longer than `longestGap` (0 = any) between two bytes go
  // unobserved. Fails with ERROR_OPERATION_ABORTED once cancelled.
  virtual PortStep ReadSome(char* buffer, std::size_t want, Deadline deadline,
                            std::chrono::milliseconds longestGap) = 0;
  // Waits until the device takes bytes or `deadline` passes, then hands over
  // up to `count` bytes (count 0 only once the deadline has passed).
  virtual PortStep WriteSome(const char* buffer, std::size_t count, Deadline deadline) = 0;
  // Wakes the primitives blocked in ReadSome/WriteSome and gives up the
  // device's exclusive claim. Called once, from Cancel().
  virtual void OnCancel() = 0;

  // Overlays the fields the device holds itself onto `dcb`.
  virtual DWORD ReadLineState(DCB* dcb) = 0;
  // Applies a DCB that CheckPortState accepted; on failure nothing changes.
  virtual DWORD ApplyLineState(const DCB& dcb) = 0;
  // Fills cbInQue/cbOutQue (and the hold bits the device knows) and returns the
  // CE_* errors since the last call in `errors`.
  virtual DWORD QueryQueues(DWORD* errors, COMSTAT* stat) = 0;
  virtual DWORD SwitchLine(DWORD function) = 0;
  virtual DWORD ReadModemLines(DWORD* status) = 0;
  // ERROR_DEVICE_REMOVED when the device is known to be gone, else
  // ERROR_SUCCESS. Consulted by the calls that do not touch the device.
  virtual DWORD CheckPresent() { return ERROR_SUCCESS; }

  bool IsCancelled() const { return m_cancelled.load(std::memory_order_acquire); }
  // The DCB last accepted by SetCommState (or the default).
  DCB CurrentSettings() const;

 private:
  // What every read and write checks first (the port is alive, a buffer is
  // there for a count above 0); the time-outs in force. ERROR_SUCCESS to go on.
  DWORD BeginTransfer(const void* buffer, DWORD count, COMMTIMEOUTS* timeouts);
  // The write loop of Write, on whichever thread runs it.
  BOOL WriteAll(const void* buffer, DWORD count, DWORD* done);
  // ERROR_OPERATION_ABORTED once cancelled; else, with `checkPresence`,
  // CheckPresent().
  DWORD RefuseIfDead(bool checkPresence);

  std::atomic<bool> m_cancelled{false};
  mutable std::mutex m_settingsMutex;
  DCB m_settings;
  COMMTIMEOUTS m_timeouts{};
};

}  // namespace morvek::comm
