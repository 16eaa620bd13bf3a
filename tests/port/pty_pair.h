// A pseudo-terminal for port tests: the test holds the peer (master) side and
// hands the device path of the other side to the program as MORVEK_COMn.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace morvek::test {

class PtyPair {
 public:
  PtyPair() {
    m_peer = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_peer >= 0 && grantpt(m_peer) == 0 && unlockpt(m_peer) == 0) {
      const char* name = ptsname(m_peer);
      if (name != nullptr) m_device = name;
    }
  }
  ~PtyPair() {
    if (m_peer >= 0) close(m_peer);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return m_peer >= 0 && !m_device.empty(); }
  const std::string& device() const { return m_device; }
  int peer() const { return m_peer; }

  // Reads from the peer side until `count` bytes are in or `timeout` passes
  // without them; returns what arrived.
  std::string ReadPeer(size_t count, std::chrono::milliseconds timeout) {
    std::string bytes;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd fd{m_peer, POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
      char buffer[4096];
      ssize_t n = read(m_peer, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
  }

 private:
  int m_peer = -1;
  std::string m_device;
};

}  // namespace morvek::test
