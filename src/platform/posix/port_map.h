// Which device each of COM1..COM16 is.
//
// COM1 and COM2 are /dev/ttyS0 and /dev/ttyS1. A USB or ACM serial adapter is
// known by its stable name, its link in /dev/serial/by-id (or, for one without
// such a link, in /dev/serial/by-path); the first time it is seen it gets the
// lowest number from COM3 up that the map does not hold, and keeps it for good.
// The map is the text file $XDG_CONFIG_HOME/morvek-comm/ports (default
// ~/.config/morvek-comm/ports), one "COMn=<stable name>" line per port, which
// a person may edit. MORVEK_COMn, when set, wins over everything: a device
// path, or the word "loopback" for the built-in loopback plug. The folders of
// stable names may be replaced through MORVEK_SERIAL_BY_ID and
// MORVEK_SERIAL_BY_PATH (set empty: no such folder).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace morvek::posix {

// Port number (1..16) to stable name.
using PortNumbers = std::map<int, std::string>;

// What "COMn" opens.
struct ComPortTarget {
  enum class Kind { kDevice, kLoopback };
  Kind kind = Kind::kDevice;
  std::string path;         // the device path (kDevice), as named: it may be a link
  std::string environment;  // the MORVEK_COMn that named it; empty when it did not
};

// The map file's path.
std::string PortMapPath();

// The entries of a map file's text. A line that is not "COMn=/absolute/path"
// (n = 1..16, blanks around either side allowed), or that repeats a number or
// a stable name already read, is skipped and described in `warnings`. Blank
// lines and lines starting with '#' are skipped silently.
PortNumbers ParsePortMap(const std::string& text, std::vector<std::string>* warnings);

// The map file's text for `numbers`, in number order.
std::string FormatPortMap(const PortNumbers& numbers);

// The stable names of the adapters present now: the links of the by-id folder
// that lead to a character device, then those of the by-path folder that lead
// to a device no by-id link names, each folder in name order.
std::vector<std::string> PresentStableNames();

// Reads the map, numbers the adapters present that it does not hold yet, and
// writes the map back (temporary file, then rename) when it changed. Damaged
// lines, a full set of numbers and a map that cannot be written are reported
// on stderr; the numbers given still hold for this run. Returns the map.
PortNumbers NumberNewAdapters();

// What COMn (1..16) opens, from MORVEK_COMn, then `numbers`, then /dev/ttyS<n-1>.
ComPortTarget ResolveComPort(int n, const PortNumbers& numbers);

}  // namespace morvek::posix
