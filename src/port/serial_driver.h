// The serial port driver: the open port's handle. The five operations that
// open, prepare, configure, write to and close the port are members of the main
// dialog (CTerminalDlg::OpenPort, ClosePort, PreparePortState, ConfigurePort,
// WritePort), defined in serial_driver.cpp and declared, with their contracts,
// in ui/terminal_dlg.h.
#pragma once

#include <atomic>

#include "platform/afx.h"

// The open port, or INVALID_HANDLE_VALUE. Written only by the driver on the
// window's thread; the reader thread and the modem-line code read it.
extern std::atomic<HANDLE> g_hComm;
