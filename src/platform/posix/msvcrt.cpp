// The C runtime's stream calls, over the streams of crt_stream.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>

#include "posix/crt_stream.h"
#include "posix/file_paths.h"
#include "posix/retry_on_eintr.h"

namespace msvcrt {

namespace {

struct StreamMode {
  int flags = 0;
  bool text = true;
  bool readable = false;
  bool writable = false;
};

// "r" or "w", then any of "+", "b", "t" once each ("b" and "t" not both); a
// stream that writes must be binary.
bool ParseMode(const char* mode, StreamMode& out) {
  if (!mode) return false;
  switch (mode[0]) {
    case 'r': out.flags = 0; out.readable = true; break;
    case 'w': out.flags = O_CREAT | O_TRUNC; out.writable = true; break;
    default: return false;
  }
  bool plus = false, binary = false, text = false;
  for (const char* p = mode + 1; *p; ++p) {
    bool* seen = *p == '+' ? &plus : *p == 'b' ? &binary : *p == 't' ? &text : nullptr;
    if (!seen || *seen) return false;
    *seen = true;
  }
  if (binary && text) return false;
  if (plus) out.readable = out.writable = true;
  out.text = !binary;
  if (out.text && out.writable) return false;
  out.flags |= out.readable && out.writable ? O_RDWR : out.writable ? O_WRONLY : O_RDONLY;
  return true;
}

bool ValidItems(std::size_t size, std::size_t count) {
  return size == 0 || count <= std::numeric_limits<std::size_t>::max() / size;
}

}  // namespace

FILE* fopen(const char* path, const char* mode) {
  StreamMode parsed;
  if (!path || !*path || !ParseMode(mode, parsed)) {
    errno = path && *path ? EINVAL : ENOENT;
    return nullptr;
  }
  const std::string mappedPath = morvek::posix::MapFilePath(path);
  if (parsed.writable && morvek::posix::IsReadOnlyFile(mappedPath)) {
    errno = EACCES;
    return nullptr;
  }
  // Opened without blocking (a FIFO must not hang the caller), then blocking.
  const int fd = morvek::posix::RetryOnEintr(
      [&] { return ::open(mappedPath.c_str(), parsed.flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666); });
  if (fd < 0) return nullptr;
  struct stat info {};
  int error = 0;
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::close(fd);
    errno = error;
    return nullptr;
  }
  return new FILE(fd, parsed.text, parsed.readable, parsed.writable);
}

int fclose(FILE* stream) {
  if (!stream) {
    errno = EINVAL;
    return EOF;
  }
  const bool closed = stream->Close();
  delete stream;
  return closed ? 0 : EOF;
}

std::size_t fread(void* buffer, std::size_t size, std::size_t count, FILE* stream) {
  if (!stream || !buffer || !ValidItems(size, count)) {
    errno = EINVAL;
    return 0;
  }
  if (size == 0 || count == 0) return 0;
  return stream->Read(static_cast<char*>(buffer), size * count) / size;
}

std::size_t fwrite(const void* buffer, std::size_t size, std::size_t count, FILE* stream) {
  if (!stream || !buffer || !ValidItems(size, count)) {
    errno = EINVAL;
    return 0;
  }
  if (size == 0 || count == 0) return 0;
  return stream->Write(static_cast<const char*>(buffer), size * count) / size;
}

char* fgets(char* buffer, int n, FILE* stream) {
  if (!stream || !buffer || n <= 0) {
    errno = EINVAL;
    return nullptr;
  }
  const std::size_t got = stream->ReadLine(buffer, static_cast<std::size_t>(n - 1));
  if (stream->Failed()) return nullptr;  // a stream that failed once reads no further lines
  if (got == 0 && n > 1) return nullptr;  // the buffer is left as it was
  buffer[got] = '\0';
  return buffer;
}

int feof(FILE* stream) { return stream && stream->AtEnd() ? 1 : 0; }

int ferror(FILE* stream) { return stream && stream->Failed() ? 1 : 0; }

int fflush(FILE* stream) {
  if (!stream) {
    errno = EINVAL;
    return EOF;
  }
  return stream->Sync() ? 0 : EOF;
}

}  // namespace msvcrt
