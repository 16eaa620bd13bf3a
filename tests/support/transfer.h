// Long transfers into the running terminal: random data that a device sends,
// fed from a thread of its own while the window takes it in, and the receive
// box's text decoded back into the bytes it shows, so that a transfer can be
// checked byte for byte.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/terminal_dlg.h"

namespace morvek::test {

// The receive box's formats, as their selector lists them.
enum class ReceiveFormat { Ascii = 0, AsciiLines = 1, Hex = 2, HexLines = 3 };

// `size` pseudo-random bytes (the same for the same seed). For the ASCII
// format, which shows 0x00 as '~', the byte '~' itself is left out so that
// the text decodes back without doubt.
std::string RandomBytes(std::size_t size, std::uint32_t seed, ReceiveFormat format);

// The bytes behind the box's text in the ASCII or HEX format; false when the
// text is not such a text (a HEX text that is not blank + two digits per byte).
bool DecodeReceiveText(std::string_view text, ReceiveFormat format, std::string& bytes);

// Chooses the display format as the operator does.
void SelectReceiveFormat(CTerminalDlg& dlg, ReceiveFormat format);

struct TransferResult {
  bool complete = false;   // the box reached the expected length
  double seconds = 0;      // from the first byte fed to the last one shown
  std::string received;    // the bytes the box's new text decodes to
  bool decoded = false;    // whether that text decoded at all
};

// Feeds `bytes` on a thread of its own with `feed`, pumps the window until the
// box has grown by the text they make in `format` (or `timeout` passes, or the
// box has not grown for `timeout` / 10 once the feed has ended), and
// decodes what the box gained. `onProgress` (if set) is called on the window's
// thread after each pump with the bytes shown so far.
TransferResult Transfer(CTerminalDlg& dlg, const std::string& bytes, ReceiveFormat format,
                        const std::function<void(const std::string&)>& feed, std::chrono::seconds timeout,
                        const std::function<void(std::size_t shown)>& onProgress = nullptr);

// Writes the bytes to the open port (g_hComm) in pieces of 4096, from any
// thread, as a peer behind the loopback plug would send them; false when a
// write fails or takes fewer bytes than given.
bool WriteToPort(const std::string& bytes);

}  // namespace morvek::test
