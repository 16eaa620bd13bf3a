// The entries of the main dialog's three selectors, in list order: the position
// of an entry is the value kept in m_nSendFormat, m_nInterval and
// m_nDisplayFormat.
#pragma once

#include <iterator>

#include "platform/afx.h"

inline constexpr const char* kSendFormatEntries[] = {"NO", "CR", "LF", "CRLF", "HEX"};
inline constexpr const char* kIntervalEntries[] = {"NO", "100MS", "500MS", "1S", "10S"};
inline constexpr const char* kDisplayFormatEntries[] = {"ASCII", "ASCIIcrlf", "HEX", "HEXcrlf"};

// Empties the box, appends the entries at the end in list order (never sorted)
// and selects position 0.
template <std::size_t N>
void FillSelector(CComboBox& box, const char* const (&entries)[N]) {
  box.ResetContent();
  for (const char* entry : entries) box.InsertString(-1, entry);
  box.SetCurSel(0);
}
