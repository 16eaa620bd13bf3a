// The C runtime calls the program uses, with the runtime's text mode.
//
// The mode is "r" or "w", with "+" to do both and "b" or "t". "t" (or no "b")
// means text mode as the program's runtime knows it: reading turns CR LF into
// LF and stops at a Ctrl-Z (0x1A) byte as at the end of the file. "b" reads
// and writes bytes unchanged; a stream that writes must be binary ("wb", "r+b").
#pragma once

#include <cstddef>

namespace msvcrt {

struct FILE;

FILE* fopen(const char* path, const char* mode);  // null with errno on failure
int fclose(FILE* stream);                          // 0, or EOF when a write failed
std::size_t fread(void* buffer, std::size_t size, std::size_t count, FILE* stream);
std::size_t fwrite(const void* buffer, std::size_t size, std::size_t count, FILE* stream);
// Reads at most n-1 characters, stopping after a line feed; NUL-terminates.
// Null at end of file (nothing read) or on a read error.
char* fgets(char* buffer, int n, FILE* stream);
int feof(FILE* stream);
int ferror(FILE* stream);
int fflush(FILE* stream);  // writes what is buffered and syncs it to the disk

// Converts as atoi does: leading blanks, an optional sign, decimal digits up to
// the first other character; 0 without digits. Values beyond 32 bits clamp to
// INT_MIN/INT_MAX.
int atoi(const char* text);
// Writes value in the radix (2..36) with a minus sign for negative decimal
// values; returns buffer.
char* _itoa(int value, char* buffer, int radix);
// Writes the unsigned 64-bit value in the radix (2..36; at most 64 digits and
// the NUL); returns buffer.
char* _ui64toa(unsigned long long value, char* buffer, int radix);

}  // namespace msvcrt
