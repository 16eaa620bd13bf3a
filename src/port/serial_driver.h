// The serial port driver: the open port's handle. The five operations that
// open, prepare, configure, write to and close the port are members of the main
// dialog (CTerminalDlg::OpenPort, ClosePort, PreparePortState, ConfigurePort,
// WritePort in ui/terminal_dlg.h) and are defined in serial_driver.cpp:
//
//  - OpenPort(n): opens "COM<n+1>" exclusively for synchronous reading and
//    writing into g_hComm; an index outside 0..15 opens nothing. TRUE when open.
//  - ClosePort(): closes g_hComm when open; g_hComm is then INVALID_HANDLE_VALUE.
//  - PreparePortState(): reads the port's state into m_dcb and lays
//    g_portConfig over it; fills m_timeouts. On failure closes the port.
//  - ConfigurePort(): applies m_dcb and m_timeouts. FALSE without a port
//    (nothing is closed); on a refusal closes the port.
//  - WritePort(p, n): writes the bytes, TRUE when all were handed over. A write
//    held by flow control fails after its time-out instead of waiting forever.
//
// The driver shows no messages; callers decide what the operator sees. All
// operations run on the window's thread.
#pragma once

#include <atomic>

#include "platform/afx.h"

// The open port, or INVALID_HANDLE_VALUE. Written only by the driver on the
// window's thread; the reader thread and the modem-line code read it.
extern std::atomic<HANDLE> g_hComm;
