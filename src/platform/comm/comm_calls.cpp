// The communications calls of win32_comm.h: each finds the port object behind
// the handle and lets it do the work.
#include "win32_comm.h"

#include "comm/port_device.h"
#include "core/last_error.h"

using morvek::comm::PortDevice;
using morvek::core::Fail;
using morvek::core::LookupHandleAs;

BOOL GetCommState(HANDLE hFile, DCB* lpDCB) {
  auto port = LookupHandleAs<PortDevice>(hFile);
  if (!port) return FALSE;
  if (!lpDCB) return Fail(ERROR_INVALID_PARAMETER);
  return port->GetState(lpDCB);
}

BOOL SetCommState(HANDLE hFile, const DCB* lpDCB) {
  auto port = LookupHandleAs<PortDevice>(hFile);
  if (!port) return FALSE;
  if (!lpDCB) return Fail(ERROR_INVALID_PARAMETER);
  return port->SetState(*lpDCB);
}

BOOL GetCommTimeouts(HANDLE hFile, COMMTIMEOUTS* lpCommTimeouts) {
  auto port = LookupHandleAs<PortDevice>(hFile);
  if (!port) return FALSE;
  if (!lpCommTimeouts) return Fail(ERROR_INVALID_PARAMETER);
  return port->GetTimeouts(lpCommTimeouts);
}

BOOL SetCommTimeouts(HANDLE hFile, const COMMTIMEOUTS* lpCommTimeouts) {
  auto port = LookupHandleAs<PortDevice>(hFile);
  if (!port) return FALSE;
  if (!lpCommTimeouts) return Fail(ERROR_INVALID_PARAMETER);
  return port->SetTimeouts(*lpCommTimeouts);
}

BOOL ClearCommError(HANDLE hFile, DWORD* lpErrors, COMSTAT* lpStat) {
  auto port = LookupHandleAs<PortDevice>(hFile);
  if (!port) return FALSE;
  return port->ClearError(lpErrors, lpStat);
}

BOOL EscapeCommFunction(HANDLE hFile, DWORD dwFunc) {
  auto port = LookupHandleAs<PortDevice>(hFile);
  if (!port) return FALSE;
  return port->Escape(dwFunc);
}

BOOL GetCommModemStatus(HANDLE hFile, DWORD* lpModemStat) {
  auto port = LookupHandleAs<PortDevice>(hFile);
  if (!port) return FALSE;
  if (!lpModemStat) return Fail(ERROR_INVALID_PARAMETER);
  return port->GetModemStatus(lpModemStat);
}
