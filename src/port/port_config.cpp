// The settings record in force and its text fields.
#include "port/port_config.h"

#include <cstring>

PortConfig g_portConfig = {};
int g_bSettingsLoaded = 0;
int g_bSettingsFileRead = 0;

void ClearPortConfigTexts(PortConfig& config) {
  std::memset(config.szPort, 0, sizeof config.szPort);
  std::memset(config.szBaudRate, 0, sizeof config.szBaudRate);
  std::memset(config.szByteSize, 0, sizeof config.szByteSize);
  std::memset(config.szParity, 0, sizeof config.szParity);
  std::memset(config.szStopBits, 0, sizeof config.szStopBits);
  std::memset(config.szFlowControl, 0, sizeof config.szFlowControl);
}

void SetPortConfigText(char (&field)[PORT_CONFIG_TEXT_SIZE], const char* text) {
  std::memset(field, 0, sizeof field);
  if (text != nullptr) std::memcpy(field, text, strnlen(text, PORT_CONFIG_TEXT_SIZE));
}

CString PortConfigText(const char (&field)[PORT_CONFIG_TEXT_SIZE]) {
  return CString(field, static_cast<int>(strnlen(field, PORT_CONFIG_TEXT_SIZE)));
}
