// Who else has a character device open: a look through /proc/<pid>/fd of every
// process, as far as this user may read it. Serial programs that take no lock
// (cat, screen, many pyserial scripts) are seen this way only.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace morvek::posix {

// A process other than this one that holds the device.
struct DeviceUser {
  pid_t pid = 0;
  std::string name;  // its command name from /proc/<pid>/comm; empty when unreadable
};

// The first other process found that has the character device `device`
// (major/minor as st_rdev gives them) open; nothing when none is found.
std::optional<DeviceUser> FindOtherDeviceUser(dev_t device);

}  // namespace morvek::posix
