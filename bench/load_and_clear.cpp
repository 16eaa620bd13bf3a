// Figures of the two bulk operations on the boxes in the running terminal:
// loading a 10 MB text file into the send box (with received data arriving
// meanwhile), and clearing a receive box that holds 50 MB into its log.
#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "exchange/reader_thread.h"
#include "platform/testing.h"
#include "res/resource.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string TextWithLines(size_t size, size_t lineLength) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = (i % (lineLength + 1) == lineLength) ? '\n' : static_cast<char>('A' + i % 26);
  return text;
}

void PostBlock(HWND window, const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_ZEROINIT, bytes.size());
  void* data = GlobalLock(block);
  std::memcpy(data, bytes.data(), bytes.size());
  PostMessage(window, WM_COMM_RXDATA, reinterpret_cast<WPARAM>(data), static_cast<LPARAM>(bytes.size()));
}

void MeasureFileLoad(size_t lineLength) {
  morvek::test::TempCurrentDir dir;
  morvek::test::WriteFileBytes("big.txt", TextWithLines(10 * 1024 * 1024, lineLength));
  auto port = morvek::testing::VirtualPort::Install(1);
  morvek::test::TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    // Data keeps arriving while the file loads: a burst every 30 ms, more than
    // the receive time-out apart, so each burst is a block of its own.
    std::atomic<bool> loading{true};
    std::thread device([&] {
      while (loading) {
        port->InjectReceived(std::string(64, 'r'));
        std::this_thread::sleep_for(30ms);
      }
    });
    morvek::testing::ScriptFileDialog("big.txt");
    auto start = Clock::now();
    morvek::test::PressButton(dlg, IDC_FILE_SELECT);
    double load = Seconds(Clock::now() - start);
    loading = false;
    device.join();
    size_t received = dlg.m_strReceive.GetLength();
    printf("file load 10 MB, lines of %zu: %.3f s (goal <= 2 s); %zu received bytes shown during the load\n",
           lineLength, load, received);
  };
  session.Run();
}

void MeasureClearReceive() {
  morvek::test::TempCurrentDir dir;
  setenv("MORVEK_COM1", "loopback", 1);
  morvek::test::TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    const size_t total = 50u * 1024 * 1024;
    std::string block = TextWithLines(4095, 80);
    for (size_t sent = 0; sent < total; sent += block.size()) {
      PostBlock(dlg.m_hWnd, block);
      if ((sent / block.size()) % 256 == 0) morvek::testing::PumpOnce();
    }
    morvek::testing::PumpUntil([&] { return static_cast<size_t>(dlg.m_strReceive.GetLength()) >= total; }, 120s);
    auto start = Clock::now();
    morvek::test::PressButton(dlg, IDC_CLEAR_RECEIVE);
    double clear = Seconds(Clock::now() - start);
    printf("clear receive box holding %.1f MB: %.3f s (goal <= 1 s); box now %d bytes\n",
           dlg.m_strReceive.IsEmpty() ? total / 1048576.0 : 0.0, clear, dlg.m_strReceive.GetLength());
  };
  session.Run();
}

}  // namespace

int main(int argc, char** argv) {
  morvek::testing::StartWindowSystem(argc, argv);
  morvek::testing::CaptureMessageBoxes(true);
  MeasureFileLoad(80);
  MeasureFileLoad(10);
  MeasureClearReceive();
  return 0;
}
