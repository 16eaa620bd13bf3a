// The entries of the main dialog's three selectors, in list order, with names
// for their positions: the position of an entry is the value kept in
// m_nSendFormat, m_nInterval and m_nDisplayFormat. Also the window timers, and
// which interval entry each auto-send timer serves.
#pragma once

#include <iterator>

#include "platform/afx.h"

enum SendFormat : int { SEND_NO, SEND_CR, SEND_LF, SEND_CRLF, SEND_HEX, SEND_FORMAT_COUNT };
inline constexpr const char* kSendFormatEntries[] = {"NO", "CR", "LF", "CRLF", "HEX"};
static_assert(std::size(kSendFormatEntries) == SEND_FORMAT_COUNT);

enum Interval : int { INTERVAL_NO, INTERVAL_100MS, INTERVAL_500MS, INTERVAL_1S, INTERVAL_10S, INTERVAL_COUNT };
inline constexpr const char* kIntervalEntries[] = {"NO", "100MS", "500MS", "1S", "10S"};
static_assert(std::size(kIntervalEntries) == INTERVAL_COUNT);

enum DisplayFormat : int { DISPLAY_ASCII, DISPLAY_ASCII_CRLF, DISPLAY_HEX, DISPLAY_HEX_CRLF, DISPLAY_FORMAT_COUNT };
inline constexpr const char* kDisplayFormatEntries[] = {"ASCII", "ASCIIcrlf", "HEX", "HEXcrlf"};
static_assert(std::size(kDisplayFormatEntries) == DISPLAY_FORMAT_COUNT);

// The main dialog's window timers: the modem-line refresh and the four
// auto-send intervals.
enum : UINT_PTR {
  TIMER_MODEM = 1,
  TIMER_AUTOSEND_100MS = 2,
  TIMER_AUTOSEND_500MS = 3,
  TIMER_AUTOSEND_1S = 4,
  TIMER_AUTOSEND_10S = 5,
};

// A window timer, its period, and the interval entry whose choice lets its
// ticks send (INTERVAL_NO for the modem-line refresh, which never sends). The
// timers are started and stopped in table order.
struct WindowTimer {
  UINT_PTR nID;
  UINT nElapse;
  Interval nInterval;
};
inline constexpr WindowTimer kWindowTimers[] = {
    {TIMER_MODEM, 200, INTERVAL_NO},
    {TIMER_AUTOSEND_100MS, 100, INTERVAL_100MS},
    {TIMER_AUTOSEND_500MS, 500, INTERVAL_500MS},
    {TIMER_AUTOSEND_1S, 1000, INTERVAL_1S},
    {TIMER_AUTOSEND_10S, 10000, INTERVAL_10S},
};

// Empties the box, appends the entries at the end in list order (never sorted)
// and selects position 0.
template <std::size_t N>
void FillSelector(CComboBox& box, const char* const (&entries)[N]) {
  box.ResetContent();
  for (const char* entry : entries) box.InsertString(-1, entry);
  box.SetCurSel(0);
}
