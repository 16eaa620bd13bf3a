// Checking and reading send text typed as hexadecimal digit pairs.
// (CTerminalDlg::HexTextToBytes, which decodes a piece into the send buffer,
// is defined in hex_text.cpp too.)
#pragma once

// Walks the zero-terminated text: 1 at the first character that is not
// 0-9, A-F or a-f (blanks, line breaks and bytes 0x80-0xFF included), else 2
// when the number of characters is odd, else 0. The character test wins: "4G4"
// gives 1.
int CheckHexText(const char* pText);

// 0..15 for '0'-'9', 'A'-'F' and 'a'-'f'; 0 for any other character.
int HexDigitValue(char c);
