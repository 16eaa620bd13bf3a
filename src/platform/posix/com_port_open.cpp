// CreateFileA("COMn"): which device COMn is, and opening a tty exclusively.
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "../loopback/loopback_port.h"
#include "errors.h"
#include "open_targets.h"
#include "termios2.h"
#include "tty_port.h"
#include "virtual_port.h"

namespace morvek::posix {

namespace {

// The word in MORVEK_COMn that selects the built-in loopback plug.
constexpr const char* kLoopbackName = "loopback";

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

HANDLE Refuse(DWORD error) {
  Fail(error);
  return INVALID_HANDLE_VALUE;
}

// Why open() refused a device path, as CreateFileA reports it for a port: a
// node without a device behind it is a port that does not exist, and a port
// that another opener holds exclusively (TIOCEXCL) is "access denied".
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

HANDLE OpenTtyPort(const std::string& path) {
  int opened;
  while ((opened = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == EINTR) {
  }
  if (opened < 0) return Refuse(OpenError(errno));
  OwnedFd fd(opened);
  if (!isatty(fd.get())) return Refuse(ERROR_INVALID_NAME);
  // flock refuses a second open file description of the device, in this
  // process or another, even for root; TIOCEXCL makes open() itself fail for
  // other users' programs that do not lock.
  while (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    return Refuse(errno == EWOULDBLOCK ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno));
  }
  ioctl(fd.get(), TIOCEXCL);
  if (int error = MakeTtyRaw(fd.get())) return Refuse(ErrorFromErrno(error));
  int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) return Refuse(ErrorFromErrno(errno));
  return RegisterHandle(std::make_shared<TtyPort>(fd.release(), wake));
}

}  // namespace

HANDLE OpenComPort(int n) {
  if (n < 1 || n > 16) return Refuse(ERROR_FILE_NOT_FOUND);
  if (auto handle = OpenVirtualPort(n)) return *handle;
  const std::string variable = "MORVEK_COM" + std::to_string(n);
  const char* named = std::getenv(variable.c_str());
  if (named && std::strcmp(named, kLoopbackName) == 0) return loopback::OpenLoopbackPort(n);
  if (named && *named) return OpenTtyPort(named);
  return OpenTtyPort("/dev/ttyS" + std::to_string(n - 1));
}

}  // namespace morvek::posix
