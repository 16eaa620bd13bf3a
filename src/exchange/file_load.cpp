// Loading a text file into the send box, with every line ending as CR LF.
#include <cstring>

#include "platform/msvcrt.h"
#include "ui/terminal_dlg.h"

// Characters per read: fgets with 1024 takes at most 1023 and a NUL.
static constexpr int kReadChunk = 1024;

// Lets the window go on working (paint, timers, received blocks, clicks)
// between two chunks of a long load.
static void DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

void CTerminalDlg::OnFileSelect() {
  m_btnFile.SetWindowText("読み出し中");
  BeginWaitCursor();

  CFileDialog fileDlg(TRUE, "", "*.*", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                      "すべて(*.*)|*.*|ﾃｷｽﾄ(*.txt)|*.txt||");
  fileDlg.m_ofn.lpstrInitialDir = ".\\";
  if (fileDlg.DoModal() != IDOK) {
    m_btnFile.SetWindowText("ファイル選択");
    EndWaitCursor();
    return;
  }
  CString strPath = fileDlg.GetPathName();

  // The opening check: missing, refused or held by another opener is reported
  // by the framework with the file's name and the reason.
  CStdioFile checkFile;
  CFileException fileError;
  if (!checkFile.Open(strPath, CFile::modeRead | CFile::shareExclusive, &fileError)) {
    fileError.ReportError();
    m_btnFile.SetWindowText("ファイル選択");
    EndWaitCursor();
    return;
  }
  checkFile.Close();

  m_strFileName = strPath;

  // Text mode: CR LF reads as LF, and a Ctrl-Z ends the text.
  msvcrt::FILE* pFile = msvcrt::fopen(strPath, "rt");
  if (pFile == nullptr) {
    AfxMessageBox("読み込みファイルをオープンできません", MB_OK);
    m_btnFile.SetWindowText("ファイル選択");
    EndWaitCursor();
    return;
  }

  // The chunks are appended to one growing text (amortized), which replaces
  // the send box once at the end.
  CString strText;
  char buffer[4096];
  std::memset(buffer, 0, sizeof buffer);
  char* pChunk = msvcrt::fgets(buffer, kReadChunk, pFile);
  while (pChunk != nullptr && !msvcrt::feof(pFile)) {
    size_t nChunk = std::strlen(buffer);
    if (nChunk > 0 && buffer[nChunk - 1] == '\n') {
      buffer[nChunk - 1] = '\r';
      buffer[nChunk] = '\n';
      buffer[nChunk + 1] = '\0';
    }
    strText += buffer;
    DispatchWaitingMessages();
    std::memset(buffer, 0, sizeof buffer);
    pChunk = msvcrt::fgets(buffer, kReadChunk, pFile);
  }
  // The last read's characters (the file's last line without an ending, or
  // nothing) go in as they are.
  strText += buffer;
  msvcrt::fclose(pFile);

  m_strSend = strText;
  char szCount[16] = {0};
  m_strSendCount = msvcrt::_itoa(m_strSend.GetLength(), szCount, 10);
  UpdateData(FALSE);
  m_sndJournal.Follow(m_strSend);

  m_btnFile.SetWindowText("ファイル選択");
  EndWaitCursor();
}
