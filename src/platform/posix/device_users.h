// Who else has a character device open: a look through /proc/<pid>/fd of every
// process, as far as this user may read it. Serial programs that take no lock
// (cat, screen, many pyserial scripts) are seen this way only.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace morvek::posix {

// A process other than this one that holds the device.
struct DeviceUser {
  pid_t pid = 0;
  std::string name;  // its command name from /proc/<pid>/comm; empty when unreadable
};

// The first other process found that has the character device `device` (as
// stat gives it) open; nothing when none is found. A device is its number
// (st_rdev), except a pty's: each devpts instance (a container's, or one
// mounted over another) numbers its ptys from 0, so a pty is its number within
// its instance (st_dev as well).
std::optional<DeviceUser> FindOtherDeviceUser(const struct stat& device);

}  // namespace morvek::posix
