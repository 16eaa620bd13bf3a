// Serial communications on a port handle from CreateFileA("COMn").
//
// The handle may be used from two threads at once (one reading, one writing and
// switching lines). A device that goes away (a USB adapter unplugged, the far
// side of a pseudo-terminal closed) makes every call below fail with
// ERROR_DEVICE_REMOVED, never an endless run of empty reads.
#pragma once

#include "win32_types.h"

enum : BYTE {
  NOPARITY = 0,
  ODDPARITY = 1,
  EVENPARITY = 2,
  MARKPARITY = 3,
  SPACEPARITY = 4,
  ONESTOPBIT = 0,
  ONE5STOPBITS = 1,
  TWOSTOPBITS = 2,
};

enum : DWORD {
  DTR_CONTROL_DISABLE = 0,
  DTR_CONTROL_ENABLE = 1,
  DTR_CONTROL_HANDSHAKE = 2,
  RTS_CONTROL_DISABLE = 0,
  RTS_CONTROL_ENABLE = 1,
  RTS_CONTROL_HANDSHAKE = 2,
  RTS_CONTROL_TOGGLE = 3,
};

// Device control block: the line settings of a port.
struct DCB {
  DWORD DCBlength;
  DWORD BaudRate;
  DWORD fBinary : 1;
  DWORD fParity : 1;
  DWORD fOutxCtsFlow : 1;  // output waits while CTS is low (the kernel's CRTSCTS)
  DWORD fOutxDsrFlow : 1;  // output waits while DSR is low (held back in user space)
  DWORD fDtrControl : 2;
  DWORD fDsrSensitivity : 1;
  DWORD fTXContinueOnXoff : 1;
  DWORD fOutX : 1;  // output stops at XoffChar, goes on at XonChar (IXON)
  DWORD fInX : 1;   // input sends XoffChar/XonChar when the queue fills (IXOFF)
  DWORD fErrorChar : 1;
  DWORD fNull : 1;
  DWORD fRtsControl : 2;
  DWORD fAbortOnError : 1;
  DWORD fDummy2 : 17;
  WORD wReserved;
  WORD XonLim;
  WORD XoffLim;
  BYTE ByteSize;
  BYTE Parity;
  BYTE StopBits;
  char XonChar;
  char XoffChar;
  char ErrorChar;
  char EofChar;
  char EvtChar;
  WORD wReserved1;
};

// Time-outs in milliseconds.
struct COMMTIMEOUTS {
  DWORD ReadIntervalTimeout;
  DWORD ReadTotalTimeoutMultiplier;
  DWORD ReadTotalTimeoutConstant;
  DWORD WriteTotalTimeoutMultiplier;
  DWORD WriteTotalTimeoutConstant;
};

struct COMSTAT {
  DWORD fCtsHold : 1;
  DWORD fDsrHold : 1;
  DWORD fRlsdHold : 1;
  DWORD fXoffHold : 1;
  DWORD fXoffSent : 1;
  DWORD fEof : 1;
  DWORD fTxim : 1;
  DWORD fReserved : 25;
  DWORD cbInQue;
  DWORD cbOutQue;
};

enum : DWORD {
  CE_RXOVER = 0x1,
  CE_OVERRUN = 0x2,
  CE_RXPARITY = 0x4,
  CE_FRAME = 0x8,
  CE_BREAK = 0x10,
};

enum : DWORD {
  SETXOFF = 1,
  SETXON = 2,
  SETRTS = 3,
  CLRRTS = 4,
  SETDTR = 5,
  CLRDTR = 6,
  SETBREAK = 8,
  CLRBREAK = 9,
};

enum : DWORD {
  MS_CTS_ON = 0x10,
  MS_DSR_ON = 0x20,
  MS_RING_ON = 0x40,
  MS_RLSD_ON = 0x80,
};

// Reads the port's current settings. Fields the device has no notion of keep
// the values last set.
BOOL GetCommState(HANDLE hFile, DCB* lpDCB);

// Applies the settings. Refused with ERROR_INVALID_PARAMETER, changing nothing:
// ByteSize outside 5..8, Parity outside 0..4, StopBits outside 0..2, 1.5 stop
// bits with other than 5 data bits, 2 stop bits with 5 data bits, BaudRate 0 or
// above 2^31-1, XonChar equal to XoffChar while fOutX or fInX is set. Any other
// positive rate is set exactly (the kernel's BOTHER). Mark and space parity need
// the kernel's CMSPAR. The settings are read back after setting: a device that
// silently keeps other values (a pseudo-terminal ignores the rate's effect)
// still succeeds; a device that rejects them fails with ERROR_INVALID_PARAMETER.
BOOL SetCommState(HANDLE hFile, const DCB* lpDCB);

BOOL GetCommTimeouts(HANDLE hFile, COMMTIMEOUTS* lpCommTimeouts);

// ReadFile on a port returns:
//  - at once with what is queued, when ReadIntervalTimeout is MAXDWORD and both
//    read totals are 0;
//  - when nNumberOfBytesToRead bytes are in;
//  - when, after the first byte, ReadIntervalTimeout ms pass with no new byte
//    (0 = no interval time-out);
//  - when ReadTotalTimeoutMultiplier*n + ReadTotalTimeoutConstant ms have passed
//    since the call began (both 0 = no total time-out), with what has arrived.
// WriteFile returns when all bytes are handed over, or fails with ERROR_TIMEOUT
// after WriteTotalTimeoutMultiplier*n + WriteTotalTimeoutConstant ms (both 0 =
// no time-out).
BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts);

// Reports the bytes waiting in the input queue (cbInQue) and the line errors
// seen since the last call (CE_* bits, from the driver's error counters), and
// clears them.
BOOL ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat);

// Switches an output line or the break state (SETDTR, CLRDTR, SETRTS, CLRRTS,
// SETBREAK, CLRBREAK, SETXON, SETXOFF). With CTS output flow on, the Linux
// driver also drives RTS itself to hold back the peer.
BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc);

// Reads the modem inputs as MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON.
BOOL GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat);
