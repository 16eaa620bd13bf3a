// Opening, configuring, writing to and closing the serial port.
#include "port/serial_driver.h"

#include "port/port_config.h"
#include "port/value_lists.h"
#include "ui/terminal_dlg.h"

std::atomic<HANDLE> g_hComm{INVALID_HANDLE_VALUE};

namespace {

// Bits on the line per byte: one start bit, the data bits, a parity bit when
// there is parity, and the stop bits (1.5 counted as 2).
DWORD FrameBitsPerByte(const PortConfig& config) {
  DWORD dwStopBits = config.StopBits == ONESTOPBIT ? 1 : 2;
  DWORD dwParityBits = config.Parity == NOPARITY ? 0 : 1;
  return 1 + config.ByteSize + dwParityBits + dwStopBits;
}

}  // namespace

BOOL CTerminalDlg::OpenPort(int nPortIndex) {
  CString strDevice = PortNameText(nPortIndex);
  if (strDevice.IsEmpty()) {
    g_hComm = INVALID_HANDLE_VALUE;
    return FALSE;
  }
  HANDLE hPort = CreateFileA(strDevice, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  g_hComm = hPort;
  return hPort != INVALID_HANDLE_VALUE;
}

void CTerminalDlg::ClosePort() {
  HANDLE hPort = g_hComm;
  if (hPort == INVALID_HANDLE_VALUE) return;
  CloseHandle(hPort);
  g_hComm = INVALID_HANDLE_VALUE;
}

BOOL CTerminalDlg::PreparePortState() {
  if (!GetCommState(g_hComm, &m_dcb)) {
    ClosePort();
    return FALSE;
  }

  m_dcb.BaudRate = static_cast<DWORD>(g_portConfig.BaudRate);
  m_dcb.ByteSize = g_portConfig.ByteSize;
  m_dcb.Parity = g_portConfig.Parity;
  m_dcb.StopBits = g_portConfig.StopBits;
  m_dcb.fOutX = static_cast<DWORD>(g_portConfig.fOutX) & 1;
  m_dcb.fInX = static_cast<DWORD>(g_portConfig.fInX) & 1;
  m_dcb.fOutxCtsFlow = static_cast<DWORD>(g_portConfig.fOutxCtsFlow) & 1;
  m_dcb.fOutxDsrFlow = static_cast<DWORD>(g_portConfig.fOutxDsrFlow) & 1;
  m_dcb.XonChar = 0x11;
  m_dcb.XoffChar = 0x13;
  m_dcb.XonLim = 2048;
  m_dcb.XoffLim = 512;

  m_timeouts.ReadIntervalTimeout = 0;
  m_timeouts.ReadTotalTimeoutMultiplier = 0;
  m_timeouts.ReadTotalTimeoutConstant = 0;
  m_timeouts.WriteTotalTimeoutMultiplier = 0;
  m_timeouts.WriteTotalTimeoutConstant = 0;
  m_timeouts.ReadIntervalTimeout = static_cast<DWORD>(g_portConfig.ReadIntervalTimeout);

  // A write held by flow control (CTS or DSR low, XOFF received) would
  // otherwise keep the window's thread, and so the whole window, waiting
  // forever. Bound it: the time its bytes need on the line, rounded up to
  // whole milliseconds per byte, plus ten seconds. A rate of zero or below is
  // refused when the state is applied, so it needs no bound.
  if (g_portConfig.BaudRate > 0) {
    DWORD dwBaudRate = static_cast<DWORD>(g_portConfig.BaudRate);
    m_timeouts.WriteTotalTimeoutMultiplier = (FrameBitsPerByte(g_portConfig) * 1000 + dwBaudRate - 1) / dwBaudRate;
    m_timeouts.WriteTotalTimeoutConstant = 10000;
  }
  return TRUE;
}

BOOL CTerminalDlg::ConfigurePort() {
  if (g_hComm == INVALID_HANDLE_VALUE) return FALSE;

  DCB dcbCheck = {};
  if (!GetCommState(g_hComm, &dcbCheck)) {
    ClosePort();
    return FALSE;
  }
  if (!SetCommState(g_hComm, &m_dcb)) {
    ClosePort();
    return FALSE;
  }
  if (!SetCommTimeouts(g_hComm, &m_timeouts)) {
    ClosePort();
    return FALSE;
  }
  return TRUE;
}

BOOL CTerminalDlg::WritePort(const void* pData, DWORD nLength) {
  DWORD dwWritten = 0;
  return WriteFile(g_hComm, pData, nLength, &dwWritten, nullptr);
}
