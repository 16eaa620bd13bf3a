// The display texts of received bytes.
#pragma once

// Writes the nLen bytes of pSrc into pDst unchanged, except that each 0x00
// becomes '~', and a terminating 0 after them. pDst holds at least nLen + 1
// bytes. nLen <= 0 gives the empty string.
void FormatRxAscii(const char* pSrc, char* pDst, int nLen);

// Appends to the zero-terminated text in pDst, for each of the nLen bytes of
// pSrc, a blank and its two upper-case hex digits (3 * nLen characters, no line
// break). pDst has room for 3 * nLen + 1 more bytes.
void FormatRxHex(const char* pSrc, char* pDst, int nLen);

// Writes blank, high-nibble digit, low-nibble digit and 0 into pOut[0..3].
void ByteToHexText(char byte, char* pOut);
