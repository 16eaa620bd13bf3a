// The time stamp in log names: the current minute (or a given one) at UTC+9.
#include <cstring>

#include "logs/log_files.h"
#include "platform/msvcrt.h"
#include "ui/terminal_dlg.h"

// Japan's offset from UTC; the machine's own time zone plays no part.
static constexpr WORD kStampZoneHours = 9;

// Days of the month; months outside 1..12 (a clock gone wrong) count 31.
static WORD DaysInMonth(CTerminalDlg& dlg, WORD wMonth, WORD wYear) {
  switch (wMonth) {
    case 2:
      return dlg.DaysInFebruary(wYear);
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    default:
      return 31;
  }
}

WORD CTerminalDlg::DaysInFebruary(WORD wYear) {
  bool bLeap = (wYear % 4 == 0 && wYear % 100 != 0) || wYear % 400 == 0;
  return bLeap ? 29 : 28;
}

void CTerminalDlg::ShiftSystemTime(WORD nHours, const SYSTEMTIME& in, SYSTEMTIME& out) {
  WORD wYear = in.wYear;
  WORD wMonth = in.wMonth;
  WORD wDay = in.wDay;
  unsigned nHour = static_cast<unsigned>(in.wHour) + nHours;
  while (nHour >= 24) {
    nHour -= 24;
    ++wDay;
    if (wDay > DaysInMonth(*this, wMonth, wYear)) {
      wDay = 1;
      ++wMonth;
      if (wMonth > 12) {
        wMonth = 1;
        ++wYear;
      }
    }
  }
  out.wYear = wYear;
  out.wMonth = wMonth;
  out.wDay = wDay;
  out.wHour = static_cast<WORD>(nHour);
  out.wMinute = in.wMinute;
  out.wSecond = in.wSecond;
}

void CTerminalDlg::MakeTimeStamp(char* pszStamp) {
  SYSTEMTIME utc = {};
  GetSystemTime(&utc);
  MakeTimeStampOf(utc, pszStamp);
}

void CTerminalDlg::MakeTimeStampOf(const SYSTEMTIME& utc, char* pszStamp) {
  SYSTEMTIME local = {};
  ShiftSystemTime(kStampZoneHours, utc, local);

  const WORD wParts[] = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute};
  CString strStamp;
  for (WORD wPart : wParts) {
    char szNumber[16] = {0};
    if (!strStamp.IsEmpty()) strStamp += "_";
    strStamp += msvcrt::_itoa(wPart, szNumber, 10);
  }

  // A sane clock gives at most 16 characters; a wild one is cut to the buffer.
  size_t nUsed = strnlen(pszStamp, LOG_STAMP_SIZE - 1);
  size_t nRoom = LOG_STAMP_SIZE - 1 - nUsed;
  size_t nCopy = static_cast<size_t>(strStamp.GetLength()) < nRoom ? static_cast<size_t>(strStamp.GetLength()) : nRoom;
  std::memcpy(pszStamp + nUsed, strStamp.GetString(), nCopy);
  pszStamp[nUsed + nCopy] = 0;
}
