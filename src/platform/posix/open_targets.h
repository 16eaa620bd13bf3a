// The two kinds of thing CreateFileA opens. create_file.cpp tells them apart by
// name; the port and file backends implement them.
#pragma once

#include "win32_types.h"

namespace morvek::posix {

// The port number 1..16 when name is "COM1".."COM16" (any case), else 0.
int ComPortNumber(const char* name);

// Opens serial port COMn (n = 1..16) exclusively: the device named by
// MORVEK_COMn, the loopback plug, a test's virtual port, or /dev/ttyS<n-1>.
HANDLE OpenComPort(int n);

// Opens a file path as CreateFileA documents (win32_file.h).
HANDLE OpenFilePath(const char* path, DWORD access, DWORD shareMode, DWORD disposition);

}  // namespace morvek::posix
