// The window title and the port status lines.
#include "port/port_texts.h"

CString WindowTitleText(const PortConfig& config) {
  return "MORVEK Comm (VER 2.02)   " + PortConfigText(config.szPort) + " 通信";
}

CString OpenPortStatusLine(const PortConfig& config) {
  CString strLine;
  strLine += " ";
  strLine += PortConfigText(config.szPort);
  strLine += " , ";
  strLine += PortConfigText(config.szBaudRate);
  strLine += " BPS";
  strLine += " , ";
  strLine += PortConfigText(config.szByteSize);
  strLine += " BITS";
  strLine += " , ";
  strLine += PortConfigText(config.szParity);
  strLine += " PARITY";
  strLine += " , ";
  strLine += PortConfigText(config.szStopBits);
  strLine += " STOP";
  strLine += " , ";
  strLine += PortConfigText(config.szFlowControl);
  strLine += " FLOW";
  return strLine;
}

CString FailedPortStatusLine(const PortConfig& config) {
  return PortConfigText(config.szPort) + " ポートは存在しません。";
}
