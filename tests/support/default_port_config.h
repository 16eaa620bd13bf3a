// The line settings a first run takes: every list at its default entry and the
// default receive time-out (what the settings dialog stores with no file).
#pragma once

#include "port/list_settings.h"
#include "port/port_config.h"
#include "port/value_lists.h"

namespace morvek::test {

inline PortConfig DefaultPortConfig() {
  PortConfig config = {};
  for (ListSetting setting : kListSettings) ApplyListEntry(setting, DefaultListPosition(setting), config);
  config.ReadIntervalTimeout = DEFAULT_READ_INTERVAL_TIMEOUT;
  return config;
}

}  // namespace morvek::test
