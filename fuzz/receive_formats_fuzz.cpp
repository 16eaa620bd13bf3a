// Fuzz target: received blocks shown in the running terminal's receive box, in
// every display format.
//
// Input: a sequence of blocks, each a two-byte little-endian header (bits 0-11
// the block's length, 0 taken as 1; bits 12-13 the display format in the
// selector's order ASCII, ASCIIcrlf, HEX, HEXcrlf) and then the block's bytes
// (fewer when the input ends first; a header with no byte left makes no
// block). Each block is handed to the window as the reader does: a GlobalAlloc
// block posted as WM_COMM_RXDATA, here sent at once.
//
// Per block the box's text must grow by exactly: in ASCII the bytes with each
// 0x00 shown as '~'; in HEX " XX" per byte (upper-case digits); in the crlf
// variants the same followed by CR LF. The count shows the text's length, and
// the box shows the same bytes as the dialog holds. The box is emptied (as the
// program would assign it) once it holds more than a megabyte, and checked in
// full then.
#include <algorithm>
#include <string>
#include <string_view>

#include "exchange/reader_thread.h"
#include "fuzz_driver.h"
#include "res/resource.h"
#include "support/terminal_session.h"
#include "terminal_fuzz_session.h"

namespace {

using morvek::fuzz::Check;
using morvek::fuzz::CheckEqual;

constexpr size_t kHeaderLength = 2;
constexpr unsigned kLengthBits = 0x0FFF;  // up to 4095, the reader's largest block
constexpr size_t kEmptyBoxAt = 1 << 20;

std::string Shown(int format, std::string_view block) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (char c : block) {
    if (format <= 1) {
      text += c == '\0' ? '~' : c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      text += ' ';
      text += kDigits[byte >> 4];
      text += kDigits[byte & 0x0F];
    }
  }
  if (format == 1 || format == 3) text += "\r\n";
  return text;
}

// What the box and its count should show: the oracle's copy of them (the count
// is empty until the first block after the box was emptied).
std::string g_box;
std::string g_count;

void CheckBoxInFull(CTerminalDlg& dlg) {
  CheckEqual(dlg.m_strReceive.View(), g_box, "the text the dialog holds");
  CheckEqual(morvek::test::ControlText(dlg, IDC_RECEIVE_BOX), g_box, "the text the receive box shows");
}

void Receive(CTerminalDlg& dlg, std::string_view block) {
  HGLOBAL memory = GlobalAlloc(GMEM_ZEROINIT, block.size());
  Check(memory != nullptr, "GlobalAlloc failed");
  void* address = GlobalLock(memory);
  std::copy(block.begin(), block.end(), static_cast<char*>(address));
  dlg.SendMessage(WM_COMM_RXDATA, reinterpret_cast<WPARAM>(address), static_cast<LPARAM>(block.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CTerminalDlg& dlg = morvek::fuzz::TerminalDialog();
  if (g_box.size() > kEmptyBoxAt) {
    CheckBoxInFull(dlg);
    dlg.m_strReceive = "";
    dlg.m_strRecvCount = "";
    dlg.UpdateData(FALSE);
    g_box.clear();
    g_count.clear();
  }
  const size_t startLength = g_box.size();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (size_t at = 0; at + kHeaderLength < size;) {
    const unsigned header = data[at] | data[at + 1] << 8;
    const int format = static_cast<int>(header >> 12 & 3);
    at += kHeaderLength;
    const std::string_view block = input.substr(at, std::max<size_t>(1, header & kLengthBits));
    at += block.size();

    if (dlg.m_nDisplayFormat != format) morvek::fuzz::ChooseEntry(dlg.m_cmbDisplay, format);
    Check(dlg.m_nDisplayFormat == format, "choosing a display format did not reach the dialog");
    const size_t before = g_box.size();
    Receive(dlg, block);
    g_box += Shown(format, block);
    g_count = std::to_string(g_box.size());
    Check(static_cast<size_t>(dlg.m_strReceive.GetLength()) == g_box.size(), "the box grew by another length");
    CheckEqual(dlg.m_strReceive.View().substr(before), std::string_view(g_box).substr(before), "what a block added");
  }
  CheckEqual(dlg.m_strReceive.View().substr(startLength), std::string_view(g_box).substr(startLength),
             "what the input added");
  const auto length = static_cast<int>(g_box.size());
  Check(dlg.GetDlgItem(IDC_RECEIVE_BOX)->GetWindowTextLength() == length, "the receive box's length");
  CheckEqual(morvek::test::ControlText(dlg, IDC_RECV_COUNT), g_count, "the receive count");
  Check(morvek::testing::TakeMessageBoxTexts().empty(), "a message was shown");
  morvek::testing::PumpOnce();
  return 0;
}
