// How a file name written the Windows way becomes a path on this system.
#pragma once

#include <string>

namespace morvek::posix {

// The path to hand to the file system for a file or folder name given as CP932
// bytes: the name is decoded (so that the second byte of a double-byte
// character is never taken for a separator), every backslash becomes '/', the
// trailing dots of each path component are dropped as Windows resolves names
// (".\BAKUP.\log.txt" is "./BAKUP/log.txt"; components made of dots only, such
// as "." and "..", keep their meaning), and the result is UTF-8. Null gives the
// empty path. Pure; any thread.
std::string MapFilePath(const char* name);

// The last component of a path, without trailing '/' ("BAKUP" for "./BAKUP/");
// the path itself when it has no other component ("/", "").
std::string LastPathComponent(const std::string& path);

// Whether `path` (a mapped path, symbolic links followed) is an existing regular
// file without any write permission bit. Such a file is read-only for every
// user, root included, as a file with the read-only attribute is on Windows:
// opening it for writing and replacing it are refused.
bool IsReadOnlyFile(const std::string& path);

}  // namespace morvek::posix
