// Send text typed as hexadecimal digit pairs: checking it and decoding a piece
// of it into the send buffer.
#include "exchange/hex_text.h"

#include <cstring>

#include "ui/terminal_dlg.h"

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

static bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int CheckHexText(const char* pText) {
  int nCount = 0;
  for (; pText[nCount] != '\0'; ++nCount) {
    if (!IsHexDigit(pText[nCount])) return 1;
  }
  return nCount % 2 == 0 ? 0 : 2;
}

// Decodes into a work area of its own first, because pDigits is usually
// m_sendBuf itself. An odd last digit (never passed by the send path, which
// checks the text first) gives its high nibble alone.
void CTerminalDlg::HexTextToBytes(const char* pDigits) {
  char work[sizeof m_sendBuf] = {0};
  size_t nBytes = 0;
  for (size_t i = 0; pDigits[i] != '\0' && nBytes < sizeof work; i += 2) {
    char high = pDigits[i];
    char low = pDigits[i + 1];
    work[nBytes++] = static_cast<char>(HexDigitValue(high) * 16 + HexDigitValue(low));
    if (low == '\0') break;
  }
  std::memcpy(m_sendBuf, work, sizeof m_sendBuf);
}
