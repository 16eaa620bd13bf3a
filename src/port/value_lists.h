// The fixed value lists of the line settings and the defaults.
//
// A position in a list is the position of the entry in the port settings
// dialog's drop-down list; it gives both the text kept in the record and the
// number handed to the port. The lists are in the order the operator sees them
// (never sorted).
#pragma once

#include <cstdint>

#include "platform/afx.h"

constexpr int PORT_COUNT = 16;

// "COM1" for index 0 up to "COM16" for index 15; empty for any other index.
CString PortNameText(int nPortIndex);

struct ValueListEntry {
  const char* text;
  int32_t value;
};

// Bit rates, right-aligned to six characters ("2000000" and "1000000" are seven).
inline constexpr ValueListEntry kBaudRateList[23] = {
    {"   110", 110},       {"   300", 300},       {"   600", 600},       {"  1200", 1200},
    {"  1800", 1800},      {"  2400", 2400},      {"  4800", 4800},      {"  7200", 7200},
    {"  9600", 9600},      {" 14400", 14400},     {" 19200", 19200},     {" 38400", 38400},
    {" 57600", 57600},     {" 76800", 76800},     {"115200", 115200},    {"128000", 128000},
    {"153600", 153600},    {"230400", 230400},    {"307200", 307200},    {"460800", 460800},
    {"921600", 921600},    {"1000000", 1000000},  {"2000000", 2000000},
};

inline constexpr ValueListEntry kByteSizeList[4] = {{"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}};

inline constexpr ValueListEntry kParityList[3] = {{"No", NOPARITY}, {"Odd", ODDPARITY}, {"Even", EVENPARITY}};

inline constexpr ValueListEntry kStopBitsList[3] = {{"1", ONESTOPBIT}, {"1.5", ONE5STOPBITS}, {"2", TWOSTOPBITS}};

struct FlowControlEntry {
  const char* text;
  int32_t fOutX;
  int32_t fInX;
  int32_t fOutxCtsFlow;
  int32_t fOutxDsrFlow;
};

// "Hardware" only makes the output wait for CTS and DSR; "Xon/Xoff" stops and
// starts both directions with DC3/DC1.
inline constexpr FlowControlEntry kFlowControlList[3] = {
    {"No", 0, 0, 0, 0},
    {"Hardware", 0, 0, 1, 1},
    {"Xon/Xoff", 1, 1, 0, 0},
};

// The defaults, taken when there is no usable settings file: COM1, "  9600",
// "8", "No", "1", "No" and 20 ms.
constexpr int DEFAULT_PORT_INDEX = 0;
constexpr int DEFAULT_BAUD_RATE_POSITION = 8;
constexpr int DEFAULT_BYTE_SIZE_POSITION = 3;
constexpr int DEFAULT_PARITY_POSITION = 0;
constexpr int DEFAULT_STOP_BITS_POSITION = 0;
constexpr int DEFAULT_FLOW_CONTROL_POSITION = 0;
constexpr int32_t DEFAULT_READ_INTERVAL_TIMEOUT = 20;
