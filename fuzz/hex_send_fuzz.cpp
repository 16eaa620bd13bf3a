// Fuzz target: pressing Send in the running terminal, in every send format.
//
// Input: the first byte picks the send format (its value mod 5, in the
// selector's order NO, CR, LF, CRLF, HEX); the rest, without its NUL bytes (the
// box's text is sent as a C string), becomes the send box's text as the
// program sets it. Pressing Send must then:
//  - in a text format, write the text followed once by its ending, in writes of
//    4094 text characters and a last one with the rest and the ending (which
//    may leave it empty);
//  - in HEX, when every character is a hex digit and their count is even,
//    write the bytes the digit pairs spell, in writes of 2047 bytes and a last
//    one with the rest; otherwise write nothing and show exactly one message:
//    "入力文字がHEXではありません" when a character is not a hex digit (even if
//    the count is odd too), else "入力文字数が偶数個ではありません";
//  - with an empty box, write and show nothing.
// Afterwards the count shows the text's length, the button reads "送信", the
// wait cursor is gone, and the busy mark is clear exactly when the send ran to
// its end.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_driver.h"
#include "res/resource.h"
#include "support/terminal_session.h"
#include "terminal_fuzz_session.h"

namespace {

using morvek::fuzz::Check;
using morvek::fuzz::CheckEqual;

enum Format { kNo, kCr, kLf, kCrLf, kHex, kFormatCount };
const char* const kEndings[] = {"", "\r", "\n", "\r\n"};
constexpr size_t kPieceLength = 4094;  // text characters per write

// -1 for a character that is not a hex digit.
int DigitValue(char c) {
  const std::string_view kLower = "0123456789abcdef";
  const std::string_view kUpper = "0123456789ABCDEF";
  size_t at = kLower.find(c);
  if (at == std::string_view::npos) at = kUpper.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

struct Expected {
  std::string written;
  std::vector<size_t> writes;
  std::vector<std::string> messages;
};

Expected ExpectedSend(int format, const std::string& text) {
  Expected expected;
  if (text.empty()) return expected;
  const bool hex = format == kHex;
  if (hex && !std::all_of(text.begin(), text.end(), [](char c) { return DigitValue(c) >= 0; })) {
    expected.messages = {"入力文字がHEXではありません"};
    return expected;
  }
  if (hex && text.size() % 2 != 0) {
    expected.messages = {"入力文字数が偶数個ではありません"};
    return expected;
  }
  if (hex) {
    for (size_t i = 0; i < text.size(); i += 2) {
      expected.written += static_cast<char>(DigitValue(text[i]) * 16 + DigitValue(text[i + 1]));
    }
  } else {
    expected.written = text + kEndings[format];
  }
  const size_t perCharacter = hex ? 2 : 1;
  const size_t ending = hex ? 0 : std::string_view(kEndings[format]).size();
  expected.writes.assign(text.size() / kPieceLength, kPieceLength / perCharacter);
  expected.writes.push_back(text.size() % kPieceLength / perCharacter + ending);
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int format = data[0] % kFormatCount;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());

  CTerminalDlg& dlg = morvek::fuzz::TerminalDialog();
  morvek::testing::VirtualPort& port = morvek::fuzz::TerminalPort();
  if (dlg.m_nSendFormat != format) morvek::fuzz::ChooseEntry(dlg.m_cmbSendFormat, format);
  Check(dlg.m_nSendFormat == format, "choosing a send format did not reach the dialog");
  dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText(CString(std::string_view(text)));
  port.TakeWritten();
  const size_t writesBefore = port.WriteSizes().size();

  morvek::test::PressButton(dlg, IDC_SEND);

  const Expected expected = ExpectedSend(format, text);
  CheckEqual(port.TakeWritten(), expected.written, "the bytes written");
  std::vector<size_t> writes = port.WriteSizes();
  writes.erase(writes.begin(), writes.begin() + static_cast<std::ptrdiff_t>(writesBefore));
  Check(writes == expected.writes, "the sizes of the writes");
  Check(morvek::testing::TakeMessageBoxTexts() == expected.messages, "the messages shown");
  const bool ranToEnd = !text.empty() && expected.messages.empty();
  Check(dlg.m_bSending == (ranToEnd ? 0 : 1), "the busy mark after the send");
  CheckEqual(morvek::test::ControlText(dlg, IDC_SEND_COUNT), std::to_string(text.size()), "the send count");
  CheckEqual(morvek::test::ControlText(dlg, IDC_SEND), "送信", "the Send button's caption");
  Check(!morvek::testing::WaitCursorShown(), "the wait cursor stayed");
  morvek::testing::PumpOnce();
  return 0;
}
