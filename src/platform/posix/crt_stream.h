// The C runtime's stream: a file descriptor with a read buffer, a write buffer
// and the runtime's text mode for reading (CR LF reads as LF and a Ctrl-Z ends
// the text); writes are bytes unchanged. A stream is used by one thread at a
// time.
#pragma once

#include <cstddef>

#include "msvcrt.h"

namespace msvcrt {

// Bytes the stream reads from the file, or collects before writing, at a time.
inline constexpr std::size_t kStreamBufferSize = 4096;

struct FILE {
 public:
  // Takes ownership of fd.
  FILE(int fd, bool text, bool readable, bool writable);
  ~FILE();  // closes the descriptor (without writing what is buffered: call Close for that)
  FILE(const FILE&) = delete;
  FILE& operator=(const FILE&) = delete;

  // Reads up to count characters (after text-mode translation). Fewer at the
  // end of the text (AtEnd) or on a read error (Failed).
  std::size_t Read(char* out, std::size_t count);
  // Reads characters up to and including a line feed, at most max of them.
  std::size_t ReadLine(char* out, std::size_t max);
  // Takes count bytes for the file; returns how many of them are buffered or
  // written, which is fewer only when writing to the file failed (Failed; what
  // was buffered when it failed is dropped).
  std::size_t Write(const char* data, std::size_t count);
  // Writes what is buffered; false (and Failed) when the file refuses it.
  bool Flush();
  // Flush, then hands the file's data to the disk.
  bool Sync();
  // Flush, then closes the descriptor; false when either failed. The stream
  // can only be destroyed afterwards.
  bool Close();

  bool AtEnd() const { return m_atEnd; }
  bool Failed() const { return m_failed; }

 private:
  int Refill();    // 1 with bytes in the read buffer, 0 at the end of the file, -1 on an error
  int RawGet();    // next byte of the file, -1 at the end (AtEnd) or on an error
  int RawPeek();   // the byte RawGet would give, without taking it or setting AtEnd
  int NextChar();  // next character after translation, -1 when there is none
  bool ToReading();
  bool ToWriting();

  int m_fd;
  const bool m_text;
  const bool m_readable;
  const bool m_writable;
  bool m_atEnd = false;
  bool m_failed = false;
  char m_in[kStreamBufferSize];
  std::size_t m_inPos = 0;
  std::size_t m_inEnd = 0;
  char m_out[kStreamBufferSize];
  std::size_t m_outSize = 0;
};

}  // namespace msvcrt
