// The settings file "morvek.ini" in the current directory: one 128-byte record,
// integers little-endian, no header.
//
//   0 nPortIndex (4)   4 BaudRate (4)   8 ByteSize  9 Parity  10 StopBits
//  11 reserved (0)    12 fOutX  16 fInX  20 fOutxCtsFlow  24 fOutxDsrFlow
//  28 ReadIntervalTimeout (4)
//  32 szPort  48 szBaudRate  64 szByteSize  80 szParity  96 szStopBits
// 112 szFlowControl (16 bytes each: the text, then zero bytes)
//
// All calls run on the window's thread.
#pragma once

#include <cstddef>

#include "port/port_config.h"

constexpr int SETTINGS_RECORD_SIZE = 128;

// The record's bytes: every byte not taken by a number or a text is zero
// (the reserved byte and everything behind each text's NUL). A text that fills
// all 16 bytes of its field is stored whole, without a NUL.
void BuildSettingsRecord(const PortConfig& config, BYTE record[SETTINGS_RECORD_SIZE]);

// Takes a record from the first 128 of `length` bytes: numbers as stored, with
// no range check; each text up to its first NUL within its field, all 16 bytes
// when it has none, the rest of the field zero. FALSE, with `out` unchanged, when fewer
// than 128 bytes are given.
BOOL ParseSettingsRecord(const BYTE* data, size_t length, PortConfig& out);

// Reads "morvek.ini". FALSE, with `out` unchanged, when the file is missing,
// cannot be read or is shorter than one record (it then counts as missing).
BOOL ReadSettingsFile(PortConfig& out);

// Writes the record so that the old file survives any failure: the bytes go to
// "morvek.ini.tmp", which is flushed to the disk, closed and then renamed over
// "morvek.ini" in one step (through a symbolic link to the file it leads to;
// the new file keeps the old one's mode and owner). A "morvek.ini" that cannot
// be opened for writing, a read-only one included, is not replaced. A failure
// at any step shows the message
// "初期化ファイルがオープンできません", removes the temporary file, leaves the old
// "morvek.ini" as it was and returns FALSE.
BOOL WriteSettingsFile(const PortConfig& config);
