// Showing received blocks in the receive box, in the chosen display format.
//
// Only the receive box and its count are rewritten per block, never the other
// controls: what the operator is typing in the send box stays. The receive text
// only ever grows by appending, so the box takes just the new tail and a block
// costs the same however much the box already holds.
#include <algorithm>
#include <cstring>
#include <memory>

#include "exchange/receive_format.h"
#include "platform/msvcrt.h"
#include "res/resource.h"
#include "ui/selector_lists.h"
#include "ui/terminal_dlg.h"

// The reader never posts more than this; the working copy relies on it.
static constexpr int kMaxBlockLength = 4095;

// Sets the window text of a control of the dialog, if the dialog has it.
static void SetControlText(CWnd& dialog, int nID, const CString& text) {
  CWnd* pControl = dialog.GetDlgItem(nID);
  if (pControl != nullptr) pControl->SetWindowText(text);
}

void CTerminalDlg::OnRxData(const void* pBlock, int nLen) {
  nLen = std::clamp(nLen, 0, kMaxBlockLength);
  std::unique_ptr<char[]> pText(new char[3 * nLen + 3]);
  pText[0] = '\0';

  char work[4096] = {0};
  std::memcpy(work, pBlock, static_cast<size_t>(nLen));
  GlobalFree(GlobalHandle(pBlock));

  // Any value outside the list appends nothing. The crlf formats end every
  // block with a line break.
  if (m_nDisplayFormat == DISPLAY_ASCII || m_nDisplayFormat == DISPLAY_ASCII_CRLF) {
    FormatRxAscii(work, pText.get(), nLen);
  } else if (m_nDisplayFormat == DISPLAY_HEX || m_nDisplayFormat == DISPLAY_HEX_CRLF) {
    FormatRxHex(work, pText.get(), nLen);
  }
  m_strReceive += pText.get();
  if (m_nDisplayFormat == DISPLAY_ASCII_CRLF || m_nDisplayFormat == DISPLAY_HEX_CRLF) m_strReceive += "\r\n";

  char szCount[16] = {0};
  m_strRecvCount = msvcrt::_itoa(m_strReceive.GetLength(), szCount, 10);

  SetControlText(*this, IDC_RECEIVE_BOX, m_strReceive);
  SetControlText(*this, IDC_RECV_COUNT, m_strRecvCount);
}

void CTerminalDlg::OnRxError() {
  m_strReceive = "エラー";
  UpdateData(FALSE);
}
