#include "stable_names.h"

#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

namespace morvek::test {

namespace {

constexpr const char* kVariables[] = {"MORVEK_SERIAL_BY_ID", "MORVEK_SERIAL_BY_PATH", "XDG_CONFIG_HOME"};

}  // namespace

StableNames::StableNames(const std::filesystem::path& base) : m_base(base) {
  std::filesystem::create_directories(m_base / "by-id");
  std::filesystem::create_directories(m_base / "by-path");
  for (const char* variable : kVariables) {
    const char* value = getenv(variable);
    m_previous.push_back(value ? std::optional<std::string>(value) : std::nullopt);
  }
  setenv(kVariables[0], (m_base / "by-id").c_str(), 1);
  setenv(kVariables[1], (m_base / "by-path").c_str(), 1);
  setenv(kVariables[2], (m_base / "config").c_str(), 1);
}

StableNames::~StableNames() {
  for (std::size_t i = 0; i < m_previous.size(); ++i) {
    if (m_previous[i]) {
      setenv(kVariables[i], m_previous[i]->c_str(), 1);
    } else {
      unsetenv(kVariables[i]);
    }
  }
}

void StableNames::Point(const std::string& stableName, const std::string& target) {
  // A hidden name, which no scan of the folder takes for a device.
  const std::filesystem::path link(stableName);
  const std::string temporary = (link.parent_path() / ("." + link.filename().string() + ".new")).string();
  unlink(temporary.c_str());
  if (symlink(target.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), stableName.c_str()) != 0) {
    throw std::runtime_error("cannot point " + stableName);
  }
}

void StableNames::Remove(const std::string& stableName) { unlink(stableName.c_str()); }

}  // namespace morvek::test
