#include "loopback/loopback_line.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace morvek::loopback {

comm::PortClock::duration FrameTimeOf(const DCB& dcb) {
  // Counted in half bits, for the 1.5 stop bits.
  const std::uint64_t stopHalves = dcb.StopBits == ONE5STOPBITS ? 3 : dcb.StopBits == TWOSTOPBITS ? 4 : 2;
  const std::uint64_t halves = 2 * (1 + dcb.ByteSize + (dcb.Parity != NOPARITY ? 1 : 0)) + stopHalves;
  const std::uint64_t rate = std::max<DWORD>(dcb.BaudRate, 1);
  const std::uint64_t nanoseconds = (halves * 1'000'000'000ull + rate) / (2 * rate);
  return std::chrono::duration_cast<comm::PortClock::duration>(std::chrono::nanoseconds(nanoseconds));
}

LoopbackLine::LoopbackLine(Time now) { Configure(comm::DefaultPortState(), now); }

template <class Change>
void LoopbackLine::Update(Time now, Change change) {
  Advance(now);
  const bool wasFlowing = Flowing();
  change();
  if (!wasFlowing && Flowing()) m_nextDone = now + m_frame;
}

void LoopbackLine::Configure(const DCB& dcb, Time now) {
  Update(now, [&] {
    m_frame = FrameTimeOf(dcb);
    m_outX = dcb.fOutX;
    m_inX = dcb.fInX;
    m_ctsFlow = dcb.fOutxCtsFlow;
    m_dsrFlow = dcb.fOutxDsrFlow;
    m_xonChar = dcb.XonChar;
    m_xoffChar = dcb.XoffChar;
    m_xonLim = dcb.XonLim;
    m_xoffLim = dcb.XoffLim;
    // Turning software flow off lets held output go and stops holding back.
    if (!m_outX) m_xoffHeld = false;
    if (!m_inX) m_xoffSent = false;
  });
}

bool LoopbackLine::Held() const {
  return m_break || m_xoffHeld || m_xoffSent || (m_ctsFlow && !m_rts) || (m_dsrFlow && !m_dtr) ||
         m_input.size() >= kInputCapacity;
}

void LoopbackLine::Advance(Time now) {
  while (Flowing() && m_nextDone <= now) {
    const char byte = m_output.front();
    m_output.pop_front();
    const Time doneAt = m_nextDone;
    Deliver(byte);
    m_nextDone = doneAt + m_frame;
  }
}

void LoopbackLine::Deliver(char byte) {
  if (m_outX && byte == m_xoffChar) {
    m_xoffHeld = true;
    return;
  }
  if (m_outX && byte == m_xonChar) {
    m_xoffHeld = false;
    return;
  }
  m_input.push_back(byte);
  if (m_inX && kInputCapacity - m_input.size() < m_xoffLim) m_xoffSent = true;
}

Time LoopbackLine::ArrivalOf(std::size_t count) const {
  if (!Flowing() || count == 0 || count > m_output.size()) return Time::max();
  return m_nextDone + m_frame * static_cast<comm::PortClock::rep>(count - 1);
}

std::size_t LoopbackLine::Write(const char* bytes, std::size_t count, Time now) {
  const std::size_t fitted = std::min(count, OutputSpace());
  Update(now, [&] { m_output.insert(m_output.end(), bytes, bytes + fitted); });
  return fitted;
}

std::size_t LoopbackLine::Read(char* bytes, std::size_t count, Time now) {
  std::size_t taken = 0;
  Update(now, [&] {
    taken = std::min(count, m_input.size());
    std::copy_n(m_input.begin(), taken, bytes);
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(taken));
    if (m_xoffSent && m_input.size() <= m_xonLim) m_xoffSent = false;
  });
  return taken;
}

void LoopbackLine::SetDtr(bool on, Time now) {
  Update(now, [&] { m_dtr = on; });
}

void LoopbackLine::SetRts(bool on, Time now) {
  Update(now, [&] { m_rts = on; });
}

void LoopbackLine::SetBreak(bool on, Time now) {
  Update(now, [&] {
    // The receiving side of the plug sees the break.
    if (on && !m_break) m_errors |= CE_BREAK;
    m_break = on;
  });
}

void LoopbackLine::SetXoffHold(bool on, Time now) {
  Update(now, [&] { m_xoffHeld = on; });
}

DWORD LoopbackLine::ModemStatus() const {
  DWORD status = 0;
  if (m_rts) status |= MS_CTS_ON;
  if (m_dtr) status |= MS_DSR_ON | MS_RLSD_ON;
  return status;
}

COMSTAT LoopbackLine::Status() const {
  COMSTAT stat{};
  stat.fCtsHold = m_ctsFlow && !m_rts;
  stat.fDsrHold = m_dsrFlow && !m_dtr;
  stat.fXoffHold = m_xoffHeld;
  stat.fXoffSent = m_xoffSent;
  stat.cbInQue = static_cast<DWORD>(m_input.size());
  stat.cbOutQue = static_cast<DWORD>(m_output.size());
  return stat;
}

DWORD LoopbackLine::TakeErrors() {
  DWORD errors = m_errors;
  m_errors = 0;
  return errors;
}

}  // namespace morvek::loopback
