#include "posix/port_list.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>

#include "posix/device_users.h"
#include "posix/port_map.h"

namespace morvek::posix {

namespace {

constexpr const char* kSerialNodePrefix = "/dev/ttyS";

std::string FirstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Whether a UART answers behind a /dev/ttyS node: the serial core reports
// type 0 (unknown) for a port it found nothing at.
bool HasUart(const std::string& device) {
  const std::string type = FirstLine("/sys/class/tty/" + BaseName(device) + "/type");
  return !type.empty() && type != "0";
}

// "maker product" of the USB device a tty belongs to, or empty.
std::string UsbDescription(const std::string& device) {
  char resolved[PATH_MAX];
  const std::string link = "/sys/class/tty/" + BaseName(device) + "/device";
  if (!realpath(link.c_str(), resolved)) return {};
  std::string folder = resolved;
  // The USB device is a few levels above the tty's interface.
  for (int level = 0; level < 4 && folder.size() > 1; ++level) {
    const std::string product = FirstLine(folder + "/product");
    if (!product.empty()) {
      const std::string maker = FirstLine(folder + "/manufacturer");
      return maker.empty() ? product : maker + " " + product;
    }
    folder = folder.substr(0, folder.rfind('/'));
  }
  return {};
}

// The state of a device, as the list shows it.
std::string DeviceState(const std::string& device) {
  struct stat info {};
  if (device.empty() || stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return "missing";
  if (device.rfind(kSerialNodePrefix, 0) == 0 && !HasUart(device)) return "missing";
  if (access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
    return "no permission (join the group dialout: sudo usermod -aG dialout $USER, then log in again)";
  }
  if (auto user = FindOtherDeviceUser(info)) {
    std::string holder = user->name.empty() ? "pid " : user->name + ", pid ";
    return "busy (held by " + holder + std::to_string(user->pid) + ")";
  }
  std::string state = "present";
  const std::string usb = UsbDescription(device);
  if (!usb.empty()) state += " (" + usb + ")";
  return state;
}

}  // namespace

void PrintPortList(std::FILE* out) {
  const PortNumbers numbers = NumberNewAdapters();
  for (int n = 1; n <= 16; ++n) {
    const ComPortTarget target = ResolveComPort(n, numbers);
    const std::string port = "COM" + std::to_string(n);
    if (target.kind == ComPortTarget::Kind::kLoopback) {
      std::fprintf(out, "%-6s loopback (built-in loopback plug): present\n", port.c_str());
      continue;
    }
    char resolved[PATH_MAX];
    const std::string device = realpath(target.path.c_str(), resolved) ? resolved : "";
    const bool named = n <= 2 || !target.environment.empty() || numbers.count(n);
    if (!named && !(device.rfind(kSerialNodePrefix, 0) == 0 && HasUart(device))) continue;
    std::fprintf(out, "%-6s %s -> %s: %s\n", port.c_str(), target.path.c_str(), device.empty() ? "(nothing)" : device.c_str(),
                 DeviceState(device).c_str());
  }
  std::fflush(out);
}

}  // namespace morvek::posix
