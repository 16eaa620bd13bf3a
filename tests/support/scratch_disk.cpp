#include "scratch_disk.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <string>

namespace morvek::test {

ScratchDisk::ScratchDisk(const std::filesystem::path& path, int kilobytes)
    : m_path(std::filesystem::absolute(path)), m_options("size=" + std::to_string(kilobytes) + "k") {
  std::filesystem::create_directory(m_path);
  m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, m_options.c_str()) == 0;
}

ScratchDisk::~ScratchDisk() {
  if (m_mounted) ::umount2(m_path.c_str(), MNT_DETACH);
}

bool ScratchDisk::SetReadOnly(bool readOnly) {
  unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
  return ::mount("tmpfs", m_path.c_str(), "tmpfs", flags, m_options.c_str()) == 0;
}

void ScratchDisk::FillUp() {
  int fd = ::open((m_path / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  char block[4096] = {};
  for (size_t size = sizeof block; size > 0; size /= 2) {
    while (::write(fd, block, size) == static_cast<ssize_t>(size)) {
    }
  }
  ::close(fd);
}

void ScratchDisk::MakeRoom() { std::filesystem::remove(m_path / "filler"); }

}  // namespace morvek::test
