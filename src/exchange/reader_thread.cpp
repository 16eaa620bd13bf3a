// The reader thread and the window's side of its hand-off: starting it,
// stopping it (joined, so that it never outlives the port handle it reads or
// posts to a window that is gone), and taking its messages in WindowProc.
#include "exchange/reader_thread.h"

#include <cstring>

#include "port/serial_driver.h"
#include "ui/terminal_dlg.h"

ReaderParams g_readerParams = {WM_COMM_RXDATA, WM_COMM_RXERROR};
std::atomic<int> g_bReaderRun{1};
std::atomic<HWND> g_hMainWnd{nullptr};

int ReadCommBlock(char* buffer, DWORD* pCount) {
  DWORD dwErrors = 0;
  COMSTAT status = {};
  if (!ClearCommError(g_hComm, &dwErrors, &status) || status.cbInQue == 0) {
    Sleep(1);
    return 0;
  }

  DWORD nRead = 0;
  BOOL bRead = ReadFile(g_hComm, buffer, *pCount - 1, &nRead, nullptr);
  buffer[nRead] = 0;
  *pCount = nRead;
  if (!bRead) {
    // A port that went away fails every read at once: pause as for an empty
    // queue instead of spinning.
    Sleep(1);
    return 0;
  }
  return 1;
}

// Hands one block to the window in memory of its own.
static void PostReceivedBlock(const ReaderParams& params, const char* buffer, DWORD nCount) {
  HGLOBAL hBlock = GlobalAlloc(GMEM_ZEROINIT, nCount);
  if (hBlock == nullptr) return;
  void* pBlock = GlobalLock(hBlock);
  std::memcpy(pBlock, buffer, nCount);
  if (!PostMessage(g_hMainWnd, params.uDataMsg, reinterpret_cast<WPARAM>(pBlock), static_cast<LPARAM>(nCount))) {
    GlobalFree(hBlock);
  }
}

UINT ReaderThreadProc(LPVOID pParam) {
  const ReaderParams* pParams = static_cast<const ReaderParams*>(pParam);
  char buffer[4096];
  DWORD nCount = 0;

  if (g_bReaderRun == 1) {
    do {
      nCount = sizeof buffer;
      if (ReadCommBlock(buffer, &nCount)) {
        if (nCount == 0) {
          Sleep(1);
        } else {
          PostReceivedBlock(*pParams, buffer, nCount);
        }
      }
    } while (g_bReaderRun == 1);
  }

  AfxEndThread(1, TRUE);
}

void CTerminalDlg::StartReader() {
  if (m_pReader != nullptr) {
    // Never two readers. Callers stop the reader before they close a port, so
    // one still running here is a caller's slip: it is joined first (which,
    // as every stop does, ends the port's reads), and the new one starts with
    // the run flag the caller has set.
    int nRun = g_bReaderRun;
    StopReader();
    g_bReaderRun = nRun;
  }
  m_pReader = AfxBeginThread(ReaderThreadProc, &g_readerParams, THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
  // Without room for a thread nothing is received; the window goes on working,
  // and choosing a port again tries once more.
  if (m_pReader == nullptr) return;
  m_pReader->m_bAutoDelete = FALSE;
  m_pReader->ResumeThread();
}

void CTerminalDlg::StopReader() {
  g_bReaderRun = 0;
  if (m_pReader == nullptr) return;
  // A read in progress may wait for bytes that never come (no time-outs):
  // cancel it so that the thread sees the flag.
  if (g_hComm != INVALID_HANDLE_VALUE) CancelIoEx(g_hComm, nullptr);
  WaitForSingleObject(m_pReader->m_hThread, INFINITE);
  delete m_pReader;
  m_pReader = nullptr;
}

void CTerminalDlg::DiscardQueuedBlocks() {
  MSG msg;
  while (PeekMessage(&msg, m_hWnd, WM_COMM_RXDATA, WM_COMM_RXDATA, PM_REMOVE)) {
    GlobalFree(GlobalHandle(reinterpret_cast<LPCVOID>(msg.wParam)));
  }
}

LRESULT CTerminalDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMM_RXDATA) {
    OnRxData(reinterpret_cast<const void*>(wParam), static_cast<int>(lParam));
  } else if (message == WM_COMM_RXERROR) {
    OnRxError();
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
