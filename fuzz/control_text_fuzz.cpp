// Fuzz target: CP932 texts through the running terminal's controls.
//
// Input: any bytes. For the send box (editable multi-line edit), the receive
// box (read-only multi-line edit), the file-name box (read-only single-line
// edit) and the Send button, the window texts are bytes and lossless: reading a
// text the program set must give exactly the bytes set, however they decode.
// So, for each control:
//  - set as a C string (the input up to its first NUL), as a CString (the whole
//    input, NULs included) and as a CString grown by appending in three steps,
//    the text read back (GetWindowText, GetWindowTextLength, and GetWindowTextA
//    into a shorter buffer, which takes a prefix) is the text set;
//  - the text shown on the screen is the text's decoding, encoded again (a
//    double-byte character that CP932 has twice comes back in the form the
//    encoder picks; a byte that starts no character stands for itself); the
//    editable multi-line edit shows every line break (CR LF, lone CR, lone LF)
//    as a paragraph break, which reads back as CR LF. This is checked for the
//    C string and for the grown CString, whose appends may split a double-byte
//    character.
// Typed into the send box as a user would (which is an edit of the user's, so
// what is read back from then on is what the box shows), the C string reads
// back, in the dialog's member too, as it is shown.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_driver.h"
#include "platform/text/cp932.h"
#include "res/resource.h"
#include "terminal_fuzz_session.h"

namespace {

using morvek::fuzz::Check;
using morvek::fuzz::CheckEqual;

struct Control {
  int id;
  const char* name;
  bool breaksAsCrLf;  // shows its text as paragraphs, so that line breaks read as CR LF
};
constexpr Control kControls[] = {{IDC_SEND_BOX, "send box", true},
                                 {IDC_RECEIVE_BOX, "receive box", false},
                                 {IDC_FILE_NAME, "file-name box", false},
                                 {IDC_SEND, "Send button", false}};

// A fresh CString each time: a string the window already shows is not read again.
std::string ReadBack(CWnd& control) {
  CString text;
  control.GetWindowText(text);
  return std::string(text.View());
}

void CheckReadsBack(CWnd& control, const std::string& set, const std::string& how) {
  CheckEqual(ReadBack(control), set, how.c_str());
  Check(control.GetWindowTextLength() == static_cast<int>(set.size()), (how + ": the length").c_str());
  std::vector<char> prefix(set.size() / 2 + 1, 'U');
  const int copied = GetWindowTextA(control.m_hWnd, prefix.data(), static_cast<int>(prefix.size()));
  Check(copied == static_cast<int>(prefix.size()) - 1 && prefix.back() == '\0',
        (how + ": GetWindowTextA into a short buffer").c_str());
  CheckEqual(std::string_view(prefix.data(), static_cast<size_t>(copied)), std::string_view(set).substr(0, copied),
             (how + ": GetWindowTextA's prefix").c_str());
}

// Each line break as CR LF.
std::string BreaksAsCrLf(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string AsShown(const std::string& text, bool breaksAsCrLf) {
  const std::string encoded = morvek::text::EncodeCp932(morvek::text::DecodeCp932(text));
  return breaksAsCrLf ? BreaksAsCrLf(encoded) : encoded;
}

void CheckControl(const Control& which, CWnd& control, const std::string& input, const std::string& cText) {
  const std::string name = which.name;
  SetWindowTextA(control.m_hWnd, cText.c_str());
  CheckReadsBack(control, cText, name + ", set as a C string");
  CheckEqual(morvek::testing::ShownText(control.m_hWnd), AsShown(cText, which.breaksAsCrLf),
             (name + ": the text shown").c_str());

  control.SetWindowText(CString(std::string_view(input)));
  CheckReadsBack(control, input, name + ", set as a CString");

  const size_t third = input.size() / 3;
  CString grown(std::string_view(input).substr(0, third));
  control.SetWindowText(grown);
  grown.Append(input.data() + third, static_cast<int>(third));
  control.SetWindowText(grown);
  grown.Append(input.data() + 2 * third, static_cast<int>(input.size() - 2 * third));
  control.SetWindowText(grown);
  CheckReadsBack(control, input, name + ", set as a CString grown by appending");
  CheckEqual(morvek::testing::ShownText(control.m_hWnd), AsShown(input, which.breaksAsCrLf),
             (name + ": the text shown after appending").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CTerminalDlg& dlg = morvek::fuzz::TerminalDialog();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string cText = input.substr(0, input.find('\0'));
  for (const Control& control : kControls) {
    CheckControl(control, *dlg.GetDlgItem(control.id), input, cText);
  }

  CWnd& sendBox = *dlg.GetDlgItem(IDC_SEND_BOX);
  Check(morvek::testing::TypeText(sendBox.m_hWnd, cText), "typing into the send box was refused");
  const std::string typed = AsShown(cText, true);
  CheckEqual(ReadBack(sendBox), typed, "typed into the send box");
  dlg.UpdateData(TRUE);
  CheckEqual(dlg.m_strSend.View(), typed, "the typed text in the dialog");

  Check(morvek::testing::TakeMessageBoxTexts().empty(), "a message was shown");
  morvek::testing::PumpOnce();
  return 0;
}
