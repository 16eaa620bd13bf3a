// The log files in the backup folder "BAKUP" below the current directory.
//
// A log name is ".\BAKUP.\" + port name + "_" + time stamp + suffix, e.g.
// ".\BAKUP.\COM3_2008_3_5_9_7_MORVEKRcv.txt" (the trailing dot of "BAKUP."
// is dropped when the path is resolved, so the file lies in "BAKUP"). The time
// stamp is year_month_day_hour_minute at UTC+9, plain decimal numbers.
//
// The dialog's side (CTerminalDlg::MakeTimeStamp, ShiftSystemTime,
// DaysInFebruary in time_stamp.cpp; EnsureDirectory, AppendToLogFile in
// log_files.cpp; OnClearReceive, OnClearSend in clear_boxes.cpp) is declared,
// with its contracts, in ui/terminal_dlg.h.
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
