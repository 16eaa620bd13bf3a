// The wire of the loopback plug: a model of a UART whose output pin is wired
// to its own input, with no thread and no clock of its own. Every call is told
// the time; the bytes whose frames have gone out by then move from the output
// queue to the input queue, one frame time apart (start bit, data bits, parity
// bit, stop bits at the configured rate).
//
// Wiring: RTS loops to CTS, DTR to DSR and DCD; RI stays off.
// Output holds (the clock of the wire stops) while
//  - a break is being sent;
//  - XOFF holds it: with fOutX, an XoffChar that arrives stops the output and
//    is not delivered (as the tty driver consumes it), and so is an XonChar;
//    since the plug's only sender is the held output itself, the output goes
//    on after EscapeCommFunction(SETXON) (or when fOutX is turned off);
//  - fOutxCtsFlow is on and RTS (= CTS) is off, or fOutxDsrFlow is on and DTR
//    (= DSR) is off;
//  - fInX is on and the input queue has fewer than XoffLim bytes free (the
//    XOFF it would send stops the only sender there is), until it is down to
//    XonLim bytes;
//  - the input queue is full, until a read makes room: the plug never loses a
//    byte, however long its reader is kept off the CPU; the writer waits as a
//    line held by flow control would, and the wire's pacing starts again
//    from the read.
//
// Not thread-safe: the loopback port calls it under its lock.
#pragma once

#include <cstddef>
#include <deque>

#include "comm/port_device.h"

namespace morvek::loopback {

using comm::PortClock;
using Time = comm::PortClock::time_point;

class LoopbackLine {
 public:
  // The output queue (UART FIFO and driver buffer): a writer waits while full.
  static constexpr std::size_t kOutputCapacity = 4096;
  static constexpr std::size_t kInputCapacity = 16384;

  explicit LoopbackLine(Time now);

  // Takes the rate, framing and flow fields of a DCB that CheckPortState accepted.
  void Configure(const DCB& dcb, Time now);

  // Moves to the input every byte whose frame has gone out by `now`.
  void Advance(Time now);

  // Queues up to `count` bytes for output; returns how many fitted.
  std::size_t Write(const char* bytes, std::size_t count, Time now);
  // Takes up to `count` bytes from the input queue; returns how many.
  std::size_t Read(char* bytes, std::size_t count, Time now);

  std::size_t InputSize() const { return m_input.size(); }
  std::size_t OutputSize() const { return m_output.size(); }
  std::size_t OutputSpace() const { return kOutputCapacity - m_output.size(); }
  comm::PortClock::duration FrameTime() const { return m_frame; }
  // Whether queued output is going out now.
  bool Flowing() const { return !m_output.empty() && !Held(); }
  // When `count` (1..OutputSize()) more bytes will have left the output, as
  // long as nothing changes; Time::max() when the output holds or has fewer.
  Time ArrivalOf(std::size_t count) const;

  void SetDtr(bool on, Time now);
  void SetRts(bool on, Time now);
  void SetBreak(bool on, Time now);
  // SETXOFF/SETXON: holds or releases the output as a received XOFF/XON does.
  void SetXoffHold(bool on, Time now);

  DWORD ModemStatus() const;
  // The hold bits and queue sizes of COMSTAT (after Advance).
  COMSTAT Status() const;
  // The CE_* errors since the last call.
  DWORD TakeErrors();

 private:
  bool Held() const;
  void Deliver(char byte);
  // Catches up with `now`, applies `change`, and restarts the wire's clock
  // when the change lets held output go on.
  template <class Change>
  void Update(Time now, Change change);

  comm::PortClock::duration m_frame{};
  bool m_outX = false;
  bool m_inX = false;
  bool m_ctsFlow = false;
  bool m_dsrFlow = false;
  char m_xonChar = 0x11;
  char m_xoffChar = 0x13;
  std::size_t m_xonLim = 2048;
  std::size_t m_xoffLim = 512;

  bool m_dtr = true;
  bool m_rts = true;
  bool m_break = false;
  bool m_xoffHeld = false;
  bool m_xoffSent = false;
  DWORD m_errors = 0;

  std::deque<char> m_output;
  std::deque<char> m_input;
  // When the frame of the first output byte ends (while Flowing()).
  Time m_nextDone{};
};

// The time one frame takes: 1 start bit, ByteSize data bits, a parity bit
// unless NOPARITY, and 1, 1.5 or 2 stop bits, at BaudRate bits per second.
comm::PortClock::duration FrameTimeOf(const DCB& dcb);

}  // namespace morvek::loopback
