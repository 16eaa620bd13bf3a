// The texts the main window shows for the settings record: its title and the
// port status line. Pure functions of the record; the texts are bounded to
// their 16-byte fields.
#pragma once

#include "port/port_config.h"

// "MORVEK Comm (VER 2.02)   " + szPort + " 通信".
CString WindowTitleText(const PortConfig& config);

// The status line of an open port, for the defaults
// " COM1 ,   9600 BPS , 8 BITS , No PARITY , 1 STOP , No FLOW".
CString OpenPortStatusLine(const PortConfig& config);

// The status line of a port that is not open: szPort + " ポートは存在しません。".
CString FailedPortStatusLine(const PortConfig& config);
