// Writing a whole buffer to a file descriptor: the one path by which file data
// reaches the disk, for WriteFile on files and for the C runtime's streams. It
// is also where the test seam's write fault (testing.h) strikes.
#pragma once

#include <cstddef>

#include "win32_types.h"

namespace morvek::posix {

struct FileWriteResult {
  std::size_t written;  // bytes that reached the file
  DWORD error;          // ERROR_SUCCESS when all of them did
};

// Writes count bytes to fd, retrying interrupted and partial writes until all
// are written or the file refuses more. On failure `error` is the Windows code
// (ERROR_DISK_FULL for a full disk or quota, the mapped code of an I/O error,
// ERROR_WRITE_FAULT when the file takes no more bytes without saying why, or
// the code a test armed) and the bytes already written stay in the file. Does
// not touch GetLastError. Any thread; writes from several threads under an
// armed fault share one byte budget exactly.
FileWriteResult WriteAllToFile(int fd, const void* data, std::size_t count);

// The test seam of SetFilePointer (testing.h): whether the next move on a file
// is to fail, and with which error (taking it disarms it; ERROR_SUCCESS when
// not armed), and disarming it.
DWORD TakeFilePointerFault();
void ClearFilePointerFault();

}  // namespace morvek::posix
