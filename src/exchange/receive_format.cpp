// The display texts of received bytes: as they are (0x00 as '~') or as hex.
#include "exchange/receive_format.h"

#include <cstring>

void FormatRxAscii(const char* pSrc, char* pDst, int nLen) {
  int i = 0;
  for (; i < nLen; ++i) pDst[i] = pSrc[i] == '\0' ? '~' : pSrc[i];
  pDst[i] = '\0';
}

void FormatRxHex(const char* pSrc, char* pDst, int nLen) {
  char* pEnd = pDst + std::strlen(pDst);
  for (int i = 0; i < nLen; ++i, pEnd += 3) ByteToHexText(pSrc[i], pEnd);
}

void ByteToHexText(char byte, char* pOut) {
  static const char kDigits[] = "0123456789ABCDEF";
  unsigned char value = static_cast<unsigned char>(byte);
  pOut[0] = ' ';
  pOut[1] = kDigits[value >> 4];
  pOut[2] = kDigits[value & 0x0F];
  pOut[3] = '\0';
}
