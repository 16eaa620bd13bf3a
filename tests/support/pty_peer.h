// The far end of a pseudo-terminal, standing in for the device on a serial
// line: the terminal opens the slave side as a port (MORVEK_COMn), the test
// reads and writes the master side.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace morvek::test {

class PtyPeer {
 public:
  PtyPeer();  // throws std::runtime_error when no pty can be made
  // The same, and names the slave side in MORVEK_COM<portNumber> for the
  // life of the object.
  explicit PtyPeer(int portNumber);
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }

  // Writes all bytes, waiting while the line is full; false when the port side
  // went away.
  bool Write(const std::string& bytes);
  // Reads until `count` bytes have arrived or `timeout` passes; returns them.
  std::string Read(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Closes the master side: the port's line hangs up.
  void Hangup();

 private:
  int m_master = -1;
  std::string m_slavePath;
  std::optional<std::string> m_envName;
};

}  // namespace morvek::test
