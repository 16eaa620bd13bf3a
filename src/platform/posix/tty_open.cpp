#include "posix/tty_open.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "posix/device_users.h"
#include "posix/errors.h"
#include "posix/retry_on_eintr.h"
#include "posix/termios2.h"

namespace morvek::posix {

namespace {

// A descriptor that is closed unless released.
class OwnedFd {
 public:
  explicit OwnedFd(int fd) : m_fd(fd) {}
  ~OwnedFd() {
    if (m_fd >= 0) close(m_fd);
  }
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  int get() const { return m_fd; }
  int release() { return std::exchange(m_fd, -1); }

 private:
  int m_fd;
};

// Why a device path could not be opened, as CreateFileA reports it for a
// port: a node without a device behind it is a port that does not exist, and
// a port that another opener holds exclusively (TIOCEXCL) is "access denied".
DWORD OpenError(int error) {
  switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case EIO: return ERROR_FILE_NOT_FOUND;
    case EBUSY: return ERROR_ACCESS_DENIED;
    default: return ErrorFromErrno(error);
  }
}

}  // namespace

DWORD OpenExclusiveTty(const std::string& path, int* fd) {
  const int opened = RetryOnEintr([&] { return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
  if (opened < 0) return OpenError(errno);
  OwnedFd owned(opened);
  if (!isatty(owned.get())) return ERROR_INVALID_NAME;
  // Another program that reads the line without a lock would take part of
  // the bytes.
  struct stat info {};
  if (fstat(owned.get(), &info) != 0) return ErrorFromErrno(errno);
  if (FindOtherDeviceUser(info)) return ERROR_ACCESS_DENIED;
  // flock refuses a second open file description of the device, in this
  // process or another, even for root; TIOCEXCL makes open() itself fail for
  // other users' programs that do not lock.
  if (RetryOnEintr([&] { return flock(owned.get(), LOCK_EX | LOCK_NB); }) != 0) {
    return errno == EWOULDBLOCK ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno);
  }
  ioctl(owned.get(), TIOCEXCL);
  if (int error = MakeTtyRaw(owned.get())) return ErrorFromErrno(error);
  *fd = owned.release();
  return ERROR_SUCCESS;
}

}  // namespace morvek::posix
