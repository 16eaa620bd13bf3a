// A fresh temporary folder that is the current directory for one test.
#pragma once

#include <filesystem>
#include <string>

namespace morvek::test {

class TempCurrentDir {
 public:
  TempCurrentDir();
  ~TempCurrentDir();
  TempCurrentDir(const TempCurrentDir&) = delete;
  TempCurrentDir& operator=(const TempCurrentDir&) = delete;
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_previous;
  std::filesystem::path m_path;
};

// Whole file as bytes ("" when missing); whether it exists.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace morvek::test
