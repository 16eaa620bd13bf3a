#include "posix/device_users.h"

#include <dirent.h>
#include <linux/major.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace morvek::posix {

namespace {

using DirPtr = std::unique_ptr<DIR, int (*)(DIR*)>;

DirPtr OpenDir(const std::string& path) { return DirPtr(opendir(path.c_str()), closedir); }

bool IsNumber(const char* text) {
  if (!*text) return false;
  for (; *text; ++text) {
    if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
  }
  return true;
}

bool IsPty(const struct stat& device) {
  const unsigned number = major(device.st_rdev);
  return number >= UNIX98_PTY_SLAVE_MAJOR && number < UNIX98_PTY_SLAVE_MAJOR + UNIX98_PTY_MAJOR_COUNT;
}

bool IsSameDevice(const struct stat& opened, const struct stat& device) {
  return S_ISCHR(opened.st_mode) && opened.st_rdev == device.st_rdev &&
         (!IsPty(device) || opened.st_dev == device.st_dev);
}

// Whether one of the descriptors listed in `fdDir` is the device. Only links
// into /dev are followed, so that no descriptor on a slow file system is
// looked at.
bool HoldsDevice(const std::string& fdDir, const struct stat& device) {
  DirPtr dir = OpenDir(fdDir);
  if (!dir) return false;
  while (dirent* entry = readdir(dir.get())) {
    if (!IsNumber(entry->d_name)) continue;
    const std::string link = fdDir + "/" + entry->d_name;
    char target[64];
    ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length < 5) continue;
    target[length] = 0;
    if (std::strncmp(target, "/dev/", 5) != 0) continue;
    struct stat opened {};
    if (stat(link.c_str(), &opened) == 0 && IsSameDevice(opened, device)) return true;
  }
  return false;
}

std::string CommandName(const std::string& processDir) {
  std::ifstream comm(processDir + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

}  // namespace

std::optional<DeviceUser> FindOtherDeviceUser(const struct stat& device) {
  DirPtr proc = OpenDir("/proc");
  if (!proc) return std::nullopt;
  const pid_t self = getpid();
  while (dirent* entry = readdir(proc.get())) {
    if (!IsNumber(entry->d_name)) continue;
    const pid_t pid = static_cast<pid_t>(std::strtol(entry->d_name, nullptr, 10));
    if (pid == self) continue;
    const std::string processDir = std::string("/proc/") + entry->d_name;
    if (HoldsDevice(processDir + "/fd", device)) return DeviceUser{pid, CommandName(processDir)};
  }
  return std::nullopt;
}

}  // namespace morvek::posix
