// Which device CreateFileA("COMn") opens, and that it opens it for one user only.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "port_test_support.h"
#include "support/temp_dir.h"

namespace {

using morvek::test::OpenPort;
using morvek::test::PtyPeer;
using morvek::test::ScopedEnv;

// Whether a child process can take the device's lock (as a second program
// opening the port would).
bool OtherProcessCanLock(const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    // Straight to the kernel: under the sanitizers, _exit first runs their
    // at-exit leak check, whose helper task shares this child's descriptors
    // and may keep the device open for a moment after waitpid.
    syscall(SYS_exit_group, fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PortOpen, APortHasOneOpenerAtATime) {
  PtyPeer peer(7);
  ScopedEnv eight("MORVEK_COM8", "loopback");
  ScopedEnv nine("MORVEK_COM9", "loopback");
  for (const char* name : {"COM7", "COM8"}) {  // a tty, the loopback plug
    SCOPED_TRACE(name);
    const bool tty = name == std::string("COM7");
    OpenPort first(name);
    ASSERT_TRUE(first.ok()) << first.openError();
    OpenPort second(tty ? "com7" : name);  // names ignore case
    EXPECT_EQ(second.openError(), ERROR_ACCESS_DENIED);
    OpenPort other("COM9");  // each plug is a port of its own
    EXPECT_TRUE(other.ok()) << other.openError();
    EXPECT_EQ(OtherProcessCanLock(peer.SlavePath()), !tty);
    // Closing frees the port at once.
    ASSERT_TRUE(first.Close());
    OpenPort third(name);
    EXPECT_TRUE(third.ok()) << third.openError();
  }
  EXPECT_TRUE(OtherProcessCanLock(peer.SlavePath()));
}

TEST(PortOpen, WhatIsNotASerialPortIsRefused) {
  morvek::test::TempCurrentDir dir;
  morvek::test::WriteFileBytes("plain.txt", "not a tty");
  std::filesystem::create_directory("folder");
  const std::string fifo = (dir.path() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Row {
    std::string device;
    DWORD error;
  } rows[] = {
      {(dir.path() / "missing").string(), ERROR_FILE_NOT_FOUND},
      {"/nonexistent-folder/ttyUSB0", ERROR_FILE_NOT_FOUND},
      {(dir.path() / "plain.txt").string(), ERROR_INVALID_NAME},
      {fifo, ERROR_INVALID_NAME},
      {"/dev/null", ERROR_INVALID_NAME},
      {(dir.path() / "folder").string(), ERROR_ACCESS_DENIED},
      {"Loopback", ERROR_FILE_NOT_FOUND},  // only the exact word is the plug; this is a path
  };
  for (const Row& row : rows) {
    ScopedEnv env("MORVEK_COM10", row.device);
    OpenPort port("COM10");
    EXPECT_FALSE(port.ok()) << row.device;
    EXPECT_EQ(port.openError(), row.error) << row.device;
  }
}

}  // namespace
