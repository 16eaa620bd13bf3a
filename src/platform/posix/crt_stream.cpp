#include "posix/crt_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "posix/file_writes.h"
#include "posix/retry_on_eintr.h"

namespace msvcrt {

namespace {

constexpr char kCtrlZ = 0x1A;

}  // namespace

FILE::FILE(int fd, bool text, bool readable, bool writable)
    : m_fd(fd), m_text(text), m_readable(readable), m_writable(writable) {}

FILE::~FILE() {
  if (m_fd >= 0) ::close(m_fd);
}

int FILE::Refill() {
  const ssize_t n = morvek::posix::RetryOnEintr([&] { return ::read(m_fd, m_in, sizeof m_in); });
  if (n < 0) {
    m_failed = true;
    return -1;
  }
  m_inPos = 0;
  m_inEnd = static_cast<std::size_t>(n);
  return n > 0 ? 1 : 0;
}

int FILE::RawGet() {
  if (m_inPos == m_inEnd) {
    const int refilled = Refill();
    if (refilled <= 0) {
      if (refilled == 0) m_atEnd = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(m_in[m_inPos++]);
}

int FILE::RawPeek() {
  if (m_inPos == m_inEnd && Refill() <= 0) return -1;
  return static_cast<unsigned char>(m_in[m_inPos]);
}

int FILE::NextChar() {
  if (m_atEnd) return -1;
  const int c = RawGet();
  if (c < 0 || !m_text) return c;
  if (c == kCtrlZ) {
    m_atEnd = true;  // the text ends here; what follows is never read
    return -1;
  }
  if (c == '\r' && RawPeek() == '\n') return RawGet();
  return c;
}

bool FILE::ToReading() {
  if (!m_readable) {
    m_failed = true;
    errno = EBADF;
    return false;
  }
  return m_outSize == 0 || Flush();
}

bool FILE::ToWriting() {
  if (!m_writable) {
    m_failed = true;
    errno = EBADF;
    return false;
  }
  // Bytes read ahead but not taken are given back, so that the write lands
  // where the reader stands.
  if (m_inPos < m_inEnd) {
    if (::lseek(m_fd, -static_cast<off_t>(m_inEnd - m_inPos), SEEK_CUR) < 0) {
      m_failed = true;
      return false;
    }
  }
  m_inPos = m_inEnd = 0;
  return true;
}

std::size_t FILE::Read(char* out, std::size_t count) {
  if (!ToReading()) return 0;
  std::size_t done = 0;
  if (!m_text) {
    while (done < count && !m_atEnd) {
      if (m_inPos == m_inEnd) {
        const int refilled = Refill();
        if (refilled < 0) break;
        if (refilled == 0) {
          m_atEnd = true;
          break;
        }
      }
      const std::size_t run = std::min(count - done, m_inEnd - m_inPos);
      std::memcpy(out + done, m_in + m_inPos, run);
      m_inPos += run;
      done += run;
    }
    return done;
  }
  while (done < count) {
    const int c = NextChar();
    if (c < 0) break;
    out[done++] = static_cast<char>(c);
  }
  return done;
}

std::size_t FILE::ReadLine(char* out, std::size_t max) {
  if (!ToReading()) return 0;
  std::size_t done = 0;
  while (done < max) {
    const int c = NextChar();
    if (c < 0) break;
    out[done++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  return done;
}

std::size_t FILE::Write(const char* data, std::size_t count) {
  if (!ToWriting()) return 0;
  std::size_t written = 0;   // bytes of data that reached the file
  std::size_t buffered = 0;  // bytes of data waiting in the buffer
  while (written + buffered < count) {
    if (m_outSize == sizeof m_out) {
      if (!Flush()) return written;
      written += buffered;
      buffered = 0;
    }
    const std::size_t run = std::min(count - written - buffered, sizeof m_out - m_outSize);
    std::memcpy(m_out + m_outSize, data + written + buffered, run);
    m_outSize += run;
    buffered += run;
  }
  return written + buffered;
}

bool FILE::Flush() {
  if (m_outSize == 0) return true;
  const auto result = morvek::posix::WriteAllToFile(m_fd, m_out, m_outSize);
  m_outSize = 0;
  if (result.error != ERROR_SUCCESS) {
    m_failed = true;
    return false;
  }
  return true;
}

bool FILE::Sync() {
  if (!Flush()) return false;
  if (morvek::posix::RetryOnEintr([&] { return ::fsync(m_fd); }) == 0) return true;
  if (errno == EINVAL || errno == EROFS) return true;  // nothing there to sync
  m_failed = true;
  return false;
}

bool FILE::Close() {
  const bool flushed = Flush();
  const int closed = ::close(m_fd);
  m_fd = -1;
  return flushed && closed == 0;
}

}  // namespace msvcrt
