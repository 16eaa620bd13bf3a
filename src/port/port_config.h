// The line settings of the terminal: one record, each setting held as the
// number handed to the port and as the text shown to the operator.
//
// The record lives in one global, g_portConfig, written and read on the
// window's thread only. Its field order is the order of the 128-byte settings
// file (settings_file.h), but the file is never read or written by copying
// this struct: every field is stored at its own offset.
#pragma once

#include <cstdint>

#include "platform/afx.h"

constexpr int PORT_CONFIG_TEXT_SIZE = 16;

struct PortConfig {
  int32_t nPortIndex;           // 0..15 for COM1..COM16
  int32_t BaudRate;             // bits per second
  BYTE ByteSize;                // data bits, 5..8
  BYTE Parity;                  // NOPARITY, ODDPARITY, EVENPARITY
  BYTE StopBits;                // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
  int32_t fOutX;                // XON/XOFF on the output (lowest bit used)
  int32_t fInX;                 // XON/XOFF on the input (lowest bit used)
  int32_t fOutxCtsFlow;         // output waits for CTS (lowest bit used)
  int32_t fOutxDsrFlow;         // output waits for DSR (lowest bit used)
  int32_t ReadIntervalTimeout;  // receive time-out in milliseconds
  // The texts of the value lists: up to the first NUL, or all 16 bytes when
  // there is none.
  char szPort[PORT_CONFIG_TEXT_SIZE];
  char szBaudRate[PORT_CONFIG_TEXT_SIZE];
  char szByteSize[PORT_CONFIG_TEXT_SIZE];
  char szParity[PORT_CONFIG_TEXT_SIZE];
  char szStopBits[PORT_CONFIG_TEXT_SIZE];
  char szFlowControl[PORT_CONFIG_TEXT_SIZE];
};

// The settings in force. All zero at load.
extern PortConfig g_portConfig;

// 1 once the start-up showing of the port settings dialog has ended: from then
// on the dialog shows the record in memory and never reads the settings file.
extern int g_bSettingsLoaded;

// Set by the dialog's first showing: 1 when the settings file was read, 0 when
// it was missing or unusable (the defaults were taken).
extern int g_bSettingsFileRead;

// Zeroes the six text fields; the numbers stay.
void ClearPortConfigTexts(PortConfig& config);

// Replaces a text field by `text`: at most 16 bytes of it, the rest of the
// field zero.
void SetPortConfigText(char (&field)[PORT_CONFIG_TEXT_SIZE], const char* text);

// The text of a field, up to its first NUL and never beyond its 16 bytes (a
// field someone filled completely still gives a bounded text).
CString PortConfigText(const char (&field)[PORT_CONFIG_TEXT_SIZE]);
