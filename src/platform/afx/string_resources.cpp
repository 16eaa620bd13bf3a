// LoadStringA: the program's string resources (res/), copied as Windows does.
#include <algorithm>
#include <cstring>

#include "resources.h"
#include "win32_system.h"
#include "win32_user.h"

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const char* text = FindStringResource(uID);
  if (!text) {
    lpBuffer[0] = '\0';
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  // Truncated to the buffer, always NUL-terminated.
  size_t length = std::min(std::strlen(text), static_cast<size_t>(cchBufferMax - 1));
  std::memcpy(lpBuffer, text, length);
  lpBuffer[length] = '\0';
  return static_cast<int>(length);
}
