// What a port that fails every call costs the reader thread: for a port whose
// reads fail and for an unplugged one, the read calls per millisecond over a
// second (the reader sleeps a millisecond after each failed poll, so about one;
// a tight loop would show thousands).
#include <stdio.h>

#include <chrono>
#include <thread>

#include "exchange/reader_thread.h"
#include "platform/testing.h"
#include "port/port_config.h"
#include "port/serial_driver.h"
#include "ui/terminal_dlg.h"

namespace {

using morvek::testing::VirtualPort;

// A dialog object without a window: enough for the driver and the reader.
class ReaderHost : public CTerminalDlg {
 public:
  using CTerminalDlg::StartReader;
  using CTerminalDlg::StopReader;
};

double CallsPerMillisecond(bool unplug) {
  auto port = VirtualPort::Install(1);
  g_portConfig = PortConfig{};
  g_portConfig.BaudRate = 9600;
  g_portConfig.ByteSize = 8;
  ReaderHost host;
  if (!host.OpenPort(0) || !host.PreparePortState() || !host.ConfigurePort()) return -1;
  g_hMainWnd = nullptr;
  if (unplug) {
    port->Unplug();
  } else {
    port->FailReads(true);
  }
  g_bReaderRun = 1;
  host.StartReader();
  const int before = port->ReadCalls();
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const int calls = port->ReadCalls() - before;
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  host.StopReader();
  host.ClosePort();
  return calls / ms;
}

}  // namespace

int main() {
  printf("failing reads: %.2f read calls/ms\n", CallsPerMillisecond(false));
  printf("unplugged port: %.2f read calls/ms\n", CallsPerMillisecond(true));
  return 0;
}
