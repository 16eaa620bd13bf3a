// Fake folders of stable serial-port names (by-id and by-path) and a port map
// of their own, in a given folder, for the tests of port numbering and of
// unplugging: the platform reads them through MORVEK_SERIAL_BY_ID,
// MORVEK_SERIAL_BY_PATH and XDG_CONFIG_HOME while the object lives, which
// then get their earlier values back.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace morvek::test {

class StableNames {
 public:
  explicit StableNames(const std::filesystem::path& base);
  ~StableNames();
  StableNames(const StableNames&) = delete;
  StableNames& operator=(const StableNames&) = delete;

  std::string ById(const std::string& name) const { return (m_base / "by-id" / name).string(); }
  std::string ByPath(const std::string& name) const { return (m_base / "by-path" / name).string(); }
  std::string MapPath() const { return (m_base / "config" / "morvek-comm" / "ports").string(); }
  // Points the link `stableName` at `target` in one step (a device appears,
  // or comes back as another node), as udev does.
  static void Point(const std::string& stableName, const std::string& target);
  static void Remove(const std::string& stableName);

 private:
  std::filesystem::path m_base;
  std::vector<std::optional<std::string>> m_previous;
};

}  // namespace morvek::test
