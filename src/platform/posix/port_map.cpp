#include "posix/port_map.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "posix/open_targets.h"
#include "posix/retry_on_eintr.h"

namespace morvek::posix {

namespace {

// A map file larger than this is not a map: only its beginning is read.
constexpr std::size_t kLargestMapFile = 1 << 20;

constexpr const char* kLoopbackName = "loopback";
constexpr int kFirstAdapterNumber = 3;
constexpr int kLastPortNumber = 16;

std::string Environment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value ? value : fallback;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void Warn(const std::string& message) { std::fprintf(stderr, "morvek-comm: %s\n", message.c_str()); }

std::string ReadMapFile(const std::string& path) {
  std::string text;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) Warn("cannot read the port map " + path + ": " + std::strerror(errno));
    return text;
  }
  char block[4096];
  ssize_t got;
  while (text.size() < kLargestMapFile && (got = RetryOnEintr([&] { return read(fd, block, sizeof block); })) > 0) {
    text.append(block, static_cast<std::size_t>(got));
  }
  close(fd);
  return text;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t put = RetryOnEintr([&] { return write(fd, text.data() + done, text.size() - done); });
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Creates `folder` and the folders above it that are missing.
bool MakeFolders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Writes the map so that a reader sees either the old or the new file whole.
bool SaveMapFile(const std::string& path, const std::string& text) {
  const std::string folder = path.substr(0, path.rfind('/'));
  if (!MakeFolders(folder)) return false;
  std::string temporary = path + ".XXXXXX";
  int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (written && closed && rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

// The names in `folder`, sorted; none when it cannot be read.
std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.empty()) return names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// The device a stable name leads to now, or empty when it leads nowhere or
// not to a character device.
std::string DeviceBehind(const std::string& stableName) {
  char resolved[PATH_MAX];
  if (!realpath(stableName.c_str(), resolved)) return {};
  struct stat info {};
  if (stat(resolved, &info) != 0 || !S_ISCHR(info.st_mode)) return {};
  return resolved;
}

}  // namespace

std::string PortMapPath() {
  std::string config = Environment("XDG_CONFIG_HOME", "");
  if (config.empty() || config[0] != '/') config = Environment("HOME", "") + "/.config";
  return config + "/morvek-comm/ports";
}

PortNumbers ParsePortMap(const std::string& text, std::vector<std::string>* warnings) {
  PortNumbers numbers;
  std::set<std::string> names;
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    const std::size_t equals = line.find('=');
    const int n = equals == std::string::npos ? 0 : ComPortNumber(Trimmed(line.substr(0, equals)).c_str());
    const std::string name = n ? Trimmed(line.substr(equals + 1)) : std::string();
    if (n == 0 || name.empty() || name[0] != '/' || name.find('\0') != std::string::npos || numbers.count(n) ||
        names.count(name)) {
      if (warnings) warnings->push_back("line " + std::to_string(lineNumber) + " skipped");
      continue;
    }
    numbers[n] = name;
    names.insert(name);
  }
  return numbers;
}

std::string FormatPortMap(const PortNumbers& numbers) {
  std::string text;
  for (const auto& [n, name] : numbers) text += "COM" + std::to_string(n) + "=" + name + "\n";
  return text;
}

std::vector<std::string> PresentStableNames() {
  std::vector<std::string> stableNames;
  std::set<std::string> devices;
  static const struct {
    const char* variable;
    const char* folder;
  } kFolders[] = {{"MORVEK_SERIAL_BY_ID", "/dev/serial/by-id"}, {"MORVEK_SERIAL_BY_PATH", "/dev/serial/by-path"}};
  for (const auto& source : kFolders) {
    const std::string folder = Environment(source.variable, source.folder);
    for (const std::string& entry : FolderEntries(folder)) {
      const std::string stableName = folder + "/" + entry;
      const std::string device = DeviceBehind(stableName);
      if (device.empty() || !devices.insert(device).second) continue;
      stableNames.push_back(stableName);
    }
  }
  return stableNames;
}

PortNumbers NumberNewAdapters() {
  const std::string path = PortMapPath();
  std::vector<std::string> warnings;
  PortNumbers numbers = ParsePortMap(ReadMapFile(path), &warnings);
  for (const std::string& warning : warnings) Warn(path + ": " + warning + " (not \"COMn=/path\", or repeated)");

  std::set<std::string> known;
  for (const auto& entry : numbers) known.insert(entry.second);
  bool changed = false;
  for (const std::string& stableName : PresentStableNames()) {
    if (known.count(stableName)) continue;
    int n = kFirstAdapterNumber;
    while (n <= kLastPortNumber && numbers.count(n)) ++n;
    if (n > kLastPortNumber) {
      Warn("no COM number is free for " + stableName + ": remove a line from " + path);
      continue;
    }
    numbers[n] = stableName;
    known.insert(stableName);
    changed = true;
  }
  if (changed && !SaveMapFile(path, FormatPortMap(numbers))) {
    Warn("cannot save the port map " + path + ": " + std::strerror(errno));
  }
  return numbers;
}

ComPortTarget ResolveComPort(int n, const PortNumbers& numbers) {
  ComPortTarget target;
  const std::string variable = "MORVEK_COM" + std::to_string(n);
  const std::string named = Environment(variable.c_str(), "");
  if (!named.empty()) {
    target.environment = variable;
    if (named == kLoopbackName) {
      target.kind = ComPortTarget::Kind::kLoopback;
    } else {
      target.path = named;
    }
    return target;
  }
  auto mapped = numbers.find(n);
  target.path = mapped != numbers.end() ? mapped->second : "/dev/ttyS" + std::to_string(n - 1);
  return target;
}

}  // namespace morvek::posix
