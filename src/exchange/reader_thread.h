// The reader thread: it polls the open port, reads each burst of received bytes
// in blocks of at most 4095 bytes and posts every block to the main window as
// WM_COMM_RXDATA. It touches no window or dialog member; all handling of the
// data happens later on the window's thread (CTerminalDlg::OnRxData).
//
// The window's side (CTerminalDlg::StartReader, StopReader, DiscardQueuedBlocks
// and the WindowProc override that takes the messages) is defined in
// reader_thread.cpp too.
#pragma once

#include <atomic>

#include "platform/afx.h"

// wParam: address of the block (GlobalLock of a GlobalAlloc(GMEM_ZEROINIT, n)
// block of exactly n bytes, raw data, no terminator); lParam: n, 1..4095. The
// window owns the block once the message is posted and frees it with
// GlobalFree(GlobalHandle(address)).
#define WM_COMM_RXDATA (WM_USER + 1)
// Handled by the window (the receive box then shows "エラー") but never posted.
#define WM_COMM_RXERROR (WM_USER + 2)

// The reader's start parameter: the message numbers it posts with.
struct ReaderParams {
  UINT uDataMsg;
  UINT uErrorMsg;
};
extern ReaderParams g_readerParams;

// Shared with the reader, written only by the window's thread, read by the
// reader afresh in every cycle. The reader keeps polling while g_bReaderRun
// equals 1 (its value at load); it posts to g_hMainWnd.
extern std::atomic<int> g_bReaderRun;
extern std::atomic<HWND> g_hMainWnd;

// The thread function; pParam is the address of a ReaderParams. Ends at once
// when g_bReaderRun is not 1 on entry, else polls until it is not 1 after a
// cycle. Ends the thread with AfxEndThread(1, TRUE).
//
// A block whose memory cannot be allocated is dropped; a block whose post fails
// (the window is gone) is freed here.
UINT ReaderThreadProc(LPVOID pParam);

// One poll of g_hComm. *pCount holds the buffer's size (at least 1) on entry.
// Returns 1 when a read was made and succeeded: *pCount then holds the number
// of bytes read (at most size - 1, possibly 0) and buffer[*pCount] is 0.
// Returns 0 when nothing was queued, the queue query failed or the read failed;
// it has then slept 1 ms, so that a port that is gone costs no CPU. The line
// error bits are cleared and dropped.
int ReadCommBlock(char* buffer, DWORD* pCount);
