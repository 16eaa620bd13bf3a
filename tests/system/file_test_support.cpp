#include "file_test_support.h"

#include <sys/mount.h>

namespace morvek::test {

TinyDisk::TinyDisk(const std::string& name) : m_path(std::filesystem::absolute(name)) {
  std::filesystem::create_directory(m_path);
  m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, "size=64k") == 0;
}

TinyDisk::~TinyDisk() {
  if (m_mounted) ::umount2(m_path.c_str(), MNT_DETACH);
}

}  // namespace morvek::test
