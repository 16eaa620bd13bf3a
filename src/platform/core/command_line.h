// The options of the Linux program around the dialog program. They are read
// before the window system starts, so an option never needs a display.
#pragma once

#include <cstdio>
#include <optional>

namespace morvek::core {

// Reads the process's arguments (argv[0] is the program's path).
// - No argument: returns nothing, and the caller starts the program as usual.
// - "--help": writes the usage to `out`, returns 0.
// - "--version": writes the program's name and version ("MORVEK Comm 2.02")
//   to `out`, returns 0.
// - "--ports": numbers new serial adapters in the port map and writes the
//   list of ports to `out` (port_list.h), returns 0. Opens no device.
// - Any other argument, a second argument, or an option the program does not
//   know: writes a line naming the fault and then the usage to `err`,
//   returns 2.
// A returned code is the process's exit status; the caller ends with it.
// Touches no window or port, and no file but the port map; any thread.
std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace morvek::core
