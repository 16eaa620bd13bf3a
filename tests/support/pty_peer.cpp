#include "pty_peer.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

namespace morvek::test {

PtyPeer::PtyPeer() {
  m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) throw std::runtime_error("no pty");
  char name[128];
  if (ptsname_r(m_master, name, sizeof name) != 0) throw std::runtime_error("no pty name");
  m_slavePath = name;
}

PtyPeer::PtyPeer(int portNumber) : PtyPeer() {
  m_envName = "MORVEK_COM" + std::to_string(portNumber);
  setenv(m_envName->c_str(), m_slavePath.c_str(), 1);
}

PtyPeer::~PtyPeer() {
  Hangup();
  if (m_envName) unsetenv(m_envName->c_str());
}

void PtyPeer::Hangup() {
  if (m_master >= 0) close(m_master);
  m_master = -1;
}

bool PtyPeer::Write(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd pfd{m_master, POLLOUT, 0};
    if (poll(&pfd, 1, 10000) <= 0 || (pfd.revents & (POLLERR | POLLNVAL))) return false;
  }
  return true;
}

std::string PtyPeer::Read(std::size_t count, std::chrono::milliseconds timeout) {
  std::string got;
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (got.size() < count) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd pfd{m_master, POLLIN, 0};
    if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) break;
    char buffer[4096];
    ssize_t n = read(m_master, buffer, sizeof buffer);
    if (n > 0) {
      got.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      break;
    }
  }
  return got;
}

}  // namespace morvek::test
