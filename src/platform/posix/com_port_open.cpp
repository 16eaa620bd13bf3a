// CreateFileA("COMn"): which device COMn is (port_map.h), and opening it.
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "comm/port_openers.h"
#include "core/last_error.h"
#include "posix/errors.h"
#include "posix/open_targets.h"
#include "posix/port_map.h"
#include "posix/tty_open.h"
#include "posix/tty_port.h"

namespace morvek::posix {

namespace {

HANDLE Refuse(DWORD error) {
  core::Fail(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE OpenComPort(int n) {
  if (n < 1 || n > 16) return Refuse(ERROR_FILE_NOT_FOUND);
  if (auto handle = comm::OpenVirtualPort(n)) return *handle;
  // Adapters plugged in since the last open get their numbers first.
  const ComPortTarget target = ResolveComPort(n, NumberNewAdapters());
  if (target.kind == ComPortTarget::Kind::kLoopback) return comm::OpenLoopbackPort(n);
  int fd = -1;
  if (DWORD error = OpenExclusiveTty(target.path, &fd)) return Refuse(error);
  int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) {
    const int error = errno;
    close(fd);
    return Refuse(ErrorFromErrno(error));
  }
  return core::RegisterHandle(std::make_shared<TtyPort>(fd, wake, target.path));
}

}  // namespace morvek::posix
