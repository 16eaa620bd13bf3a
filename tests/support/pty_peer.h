// The far end of a pseudo-terminal, standing in for the device on a serial
// line: the terminal opens the slave side as a port (MORVEK_COMn), the test
// reads and writes the master side.
#pragma once

#include <chrono>
#include <string>

namespace morvek::test {

class PtyPeer {
 public:
  PtyPeer();  // throws std::runtime_error when no pty can be made
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }

  // Writes all bytes, waiting while the line is full; false when the port side
  // went away.
  bool Write(const std::string& bytes);
  // Reads until `count` bytes have arrived or `timeout` passes; returns them.
  std::string Read(std::size_t count, std::chrono::milliseconds timeout);

 private:
  int m_master = -1;
  std::string m_slavePath;
};

}  // namespace morvek::test
