// Small file systems of their own for tests of disk faults: a tmpfs of a given
// size mounted on a new folder, whose disk really fills up and which can be
// made read-only (root, who runs the tests, ignores file permissions but not a
// read-only mount). Unmounted again at the end of its scope.
#pragma once

#include <filesystem>
#include <string>

namespace morvek::test {

class ScratchDisk {
 public:
  // Mounts a tmpfs of `kilobytes` on the new folder `path` (relative to the
  // current directory). mounted() is false where mounting is not allowed.
  explicit ScratchDisk(const std::filesystem::path& path, int kilobytes = 64);
  ~ScratchDisk();
  ScratchDisk(const ScratchDisk&) = delete;
  ScratchDisk& operator=(const ScratchDisk&) = delete;

  bool mounted() const { return m_mounted; }
  const std::filesystem::path& path() const { return m_path; }

  // Remounts the disk read-only (or writable again); false when refused.
  bool SetReadOnly(bool readOnly);
  // Writes a file "filler" on the disk until no byte more fits.
  void FillUp();
  // Removes the filler again.
  void MakeRoom();

 private:
  std::filesystem::path m_path;
  std::string m_options;
  bool m_mounted = false;
};

}  // namespace morvek::test
