// The line settings a first run takes: every list at its default entry and the
// default receive time-out (what the settings dialog stores with no file), and
// the bytes a settings file holds for a set of settings.
#pragma once

#include <string>

#include "port/list_settings.h"
#include "port/port_config.h"
#include "port/settings_file.h"
#include "port/value_lists.h"

namespace morvek::test {

inline PortConfig DefaultPortConfig() {
  PortConfig config = {};
  for (ListSetting setting : kListSettings) ApplyListEntry(setting, DefaultListPosition(setting), config);
  config.ReadIntervalTimeout = DEFAULT_READ_INTERVAL_TIMEOUT;
  return config;
}

inline std::string RecordOf(const PortConfig& config) {
  BYTE record[SETTINGS_RECORD_SIZE];
  BuildSettingsRecord(config, record);
  return std::string(reinterpret_cast<const char*>(record), sizeof record);
}

}  // namespace morvek::test
