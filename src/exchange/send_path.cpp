// Sending the send box: as text with an optional ending, or as the bytes its
// hexadecimal digit pairs spell, in pieces of 4094 characters through the port
// driver.
#include <cstring>
#include <memory>

#include "exchange/hex_text.h"
#include "platform/msvcrt.h"
#include "ui/selector_lists.h"
#include "ui/terminal_dlg.h"

// Send text characters per write. Even, so that a HEX digit pair never
// straddles two pieces; a piece plus the longest ending fits in m_sendBuf.
static constexpr int kPieceLength = 4094;

// The endings of the text formats SEND_NO, SEND_CR, SEND_LF and SEND_CRLF,
// indexed by the format and written once after the whole text.
static const char* const kSendEndings[SEND_HEX] = {"", "\r", "\n", "\r\n"};

void CTerminalDlg::OnSend() {
  UpdateData(TRUE);
  m_bSending = 1;
  m_btnSend.SetWindowText("送信中");
  BeginWaitCursor();

  int nLength = m_strSend.GetLength();
  char szCount[16] = {0};
  m_strSendCount = msvcrt::_itoa(nLength, szCount, 10);
  UpdateData(FALSE);

  // An empty box sends nothing; the flag stays set, which pauses auto-send.
  if (nLength == 0) {
    m_btnSend.SetWindowText("送信");
    EndWaitCursor();
    return;
  }

  std::unique_ptr<char[]> pCopy(new char[nLength + 1]);
  std::memcpy(pCopy.get(), m_strSend.GetString(), static_cast<size_t>(nLength) + 1);
  int nPieces = nLength / kPieceLength;
  int nRest = nLength % kPieceLength;

  const char* pszError = nullptr;
  bool bText = m_nSendFormat >= SEND_NO && m_nSendFormat < SEND_HEX;
  bool bHex = m_nSendFormat == SEND_HEX;
  if (bHex) {
    int nCheck = CheckHexText(pCopy.get());
    if (nCheck == 1) pszError = "入力文字がHEXではありません";
    if (nCheck == 2) pszError = "入力文字数が偶数個ではありません";
  }

  // The whole pieces, then the rest (possibly empty: its write still goes out,
  // carrying the ending alone or nothing). Other format values write nothing.
  //
  // A piece held by flow control or a slow line keeps WritePort waiting. While
  // it waits, the only handlers of this dialog that can run are OnPaint and
  // OnSize (the window is painted and resized), OnTimer (TIMER_MODEM refreshes
  // the modem lines; the auto-send ticks find m_bSending set and do nothing)
  // and WindowProc's received blocks and read errors (OnRxData, OnRxError).
  // The operator's keys, clicks and close request (PreTranslateMessage, the
  // buttons' and selectors' handlers, OnSysCommand, OnHelpInfo, OnCancel) wait
  // until this send has ended.
  bool bWrite = (bText || bHex) && pszError == nullptr;
  for (int k = 0; bWrite && k <= nPieces; ++k) {
    bool bLast = k == nPieces;
    std::memset(m_sendBuf, 0, sizeof m_sendBuf);
    std::memcpy(m_sendBuf, pCopy.get() + static_cast<size_t>(k) * kPieceLength, bLast ? nRest : kPieceLength);
    if (bHex) {
      m_nSendLen = static_cast<int>(std::strlen(m_sendBuf) / 2);
      HexTextToBytes(m_sendBuf);
    } else {
      if (bLast) std::strcat(m_sendBuf, kSendEndings[m_nSendFormat]);
      m_nSendLen = static_cast<int>(std::strlen(m_sendBuf));
    }
    if (!WritePort(m_sendBuf, static_cast<DWORD>(m_nSendLen))) {
      pszError = "送信に失敗しました";
      bWrite = false;
    }
  }

  if (pszError != nullptr) {
    // The flag stays set: auto-send pauses until a send succeeds.
    AfxMessageBox(pszError, MB_OK);
    pCopy.reset();
    m_btnSend.SetWindowText("送信");
    EndWaitCursor();
    return;
  }

  pCopy.reset();
  UpdateModemStatus();
  m_btnSend.SetWindowText("送信");
  EndWaitCursor();
  m_bSending = 0;
}
