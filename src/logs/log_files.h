// The log files in the backup folder "BAKUP" below the current directory.
//
// A log name is ".\BAKUP.\" + port name + "_" + time stamp + suffix, e.g.
// ".\BAKUP.\COM3_2008_3_5_9_7_MORVEKRcv.txt" (the trailing dot of "BAKUP."
// is dropped when the path is resolved, so the file lies in "BAKUP"). The time
// stamp is year_month_day_hour_minute at UTC+9, plain decimal numbers.
//
// The dialog's side (CTerminalDlg::MakeTimeStamp, ShiftSystemTime,
// DaysInFebruary, EnsureDirectory, AppendToLogFile, OnClearReceive,
// OnClearSend) is declared in ui/terminal_dlg.h:
//
//  - MakeTimeStamp(psz): appends the stamp of the current minute to the text in
//    psz, a zero-filled LOG_STAMP_SIZE buffer; it never writes beyond that size.
//    MakeTimeStampOf(utc, psz) does the same for the given UTC time.
//  - RecoverJournals(): before the settings dialog, turns the box journals a
//    run that did not end in order left behind (logs/box_journal.h) into
//    backup logs named as the shutdown's, stamped with the journal's last
//    write; see logs/journal_recovery.cpp.
//  - ShiftSystemTime(h, in, out): out = in advanced by h hours, carrying into
//    day, month and year; out's day of week and milliseconds are not set.
//  - DaysInFebruary(year): 29 in a Gregorian leap year, else 28.
//  - EnsureDirectory(path): TRUE when the folder exists or was created.
//  - AppendToLogFile(path, text): appends the text's bytes as they are. FALSE
//    after showing "ログファイルがオープンできません" when the file cannot be
//    opened, or "ログファイルに書き込めません" when the bytes could not all be
//    written and flushed; the file is then cut back to its length before the
//    append, so an existing log keeps its old bytes exactly.
//  - OnClearReceive / OnClearSend: append the box to its log, then empty it;
//    a log that cannot be written keeps the box as it is.
//
// All of it runs on the window's thread.
#pragma once

#include "platform/afx.h"

// Size of the buffer a time stamp is built in (a stamp with a four-digit year
// is at most 16 characters).
#define LOG_STAMP_SIZE 20

// The backup folder and the prefix of every log name.
inline constexpr char kBackupFolder[] = ".\\BAKUP";
inline constexpr char kLogFolderPrefix[] = ".\\BAKUP.\\";

// The suffixes of the four log events.
inline constexpr char kClearReceiveLogSuffix[] = "_MORVEKRcv.txt";
inline constexpr char kClearSendLogSuffix[] = "_MORVEKSnd.txt";
inline constexpr char kShutdownReceiveLogSuffix[] = "_BakMORVEKRcv.txt";
inline constexpr char kShutdownSendLogSuffix[] = "_BakMORVEKSnd.txt";

// 1 when the path names a folder, else 0 (also when nothing is there).
BOOL IsDirectory(LPCSTR pszPath);

// The log name for the port index (the port name is empty outside 0..15, so
// the file name then begins with "_"), the stamp and the event's suffix.
CString LogFileName(int nPortIndex, const char* pszStamp, const char* pszSuffix);

// Appends the text's bytes to the file as AppendToLogFile does, without a
// message: a failed write leaves the file as it was.
enum class LogAppendResult { Appended, OpenFailed, WriteFailed };
LogAppendResult AppendBytesToLog(const CString& strPath, const CString& strText);
