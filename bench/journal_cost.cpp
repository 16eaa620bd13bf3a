// The journal's cost on the receive path, with and without the receive box's
// journal: 50 MB of text with line breaks handed to the window block by block
// (4095 bytes, as the reader posts them), printing the rate of the whole fill
// and the mean cost of a block in the first and the last megabyte. "Without"
// has a plain file where the backup folder must be, so the journal cannot be
// opened (and is tried once a second); "with" writes every block to it. The
// runs alternate, three times each. Then 10 MB through a pty at full speed,
// with the longest time written journal text waited for its sync (the span a
// power cut could take). The megabytes of the fill may be given as the first
// argument.
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include "exchange/reader_thread.h"
#include "logs/journal_sync.h"
#include "platform/testing.h"
#include "support/pty_peer.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/transfer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kBlock = 4095;

// A block of printable text with a line break every 64 bytes.
std::string BlockText() {
  std::string text;
  for (int i = 0; text.size() < kBlock; ++i) text += (i % 64 == 63) ? std::string("\r\n") : std::string(1, 'A' + i % 26);
  text.resize(kBlock);
  return text;
}

// Hands the block to the window as the reader does, and returns its cost in
// microseconds.
double HandBlock(CTerminalDlg& dlg, const std::string& text) {
  HGLOBAL hBlock = GlobalAlloc(GMEM_ZEROINIT, text.size());
  char* pBlock = static_cast<char*>(GlobalLock(hBlock));
  std::memcpy(pBlock, text.data(), text.size());
  auto start = Clock::now();
  dlg.SendMessage(WM_COMM_RXDATA, reinterpret_cast<WPARAM>(pBlock), static_cast<LPARAM>(text.size()));
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Fill(CTerminalDlg& dlg, const char* line, std::size_t bytes) {
  dlg.m_strReceive = "";
  dlg.UpdateData(FALSE);
  const std::string text = BlockText();
  const std::size_t blocks = bytes / kBlock;
  const std::size_t perMegabyte = (1 << 20) / kBlock;
  double first = 0, last = 0;
  auto start = Clock::now();
  for (std::size_t i = 0; i < blocks; ++i) {
    double cost = HandBlock(dlg, text);
    if (i < perMegabyte) first += cost;
    if (i >= blocks - perMegabyte) last += cost;
    if (i % 8 == 7) morvek::testing::PumpOnce();  // repaints and timers, as between real blocks
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  printf("%-16s %4.0f MB in %5.2f s = %6.1f MB/s; per block: %5.1f us in the first MB, %5.1f us at %.0f MB\n", line,
         bytes / double(1 << 20), seconds, bytes / double(1 << 20) / seconds, first / perMegabyte, last / perMegabyte,
         dlg.m_strReceive.GetLength() / double(1 << 20));
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t bytes = (argc > 1 ? static_cast<std::size_t>(atol(argv[1])) : 50) << 20;
  morvek::testing::StartWindowSystem(argc, argv);
  morvek::testing::CaptureMessageBoxes(true);
  morvek::test::TempCurrentDir dir;

  setenv("MORVEK_COM1", "loopback", 1);
  morvek::test::TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    for (int round = 0; round < 3; ++round) {
      fs::remove_all("BAKUP");
      morvek::test::WriteFileBytes("BAKUP", "a plain file");
      Fill(dlg, "without journal", bytes);
      fs::remove_all("BAKUP");
      fs::create_directory("BAKUP");
      Fill(dlg, "with journal", bytes);
    }
    dlg.m_strReceive = "";
    dlg.UpdateData(FALSE);
  };
  session.Run();

  morvek::test::PtyPeer peer;
  setenv("MORVEK_COM1", peer.SlavePath().c_str(), 1);
  morvek::test::TerminalSession transfer;
  transfer.script = [&](CTerminalDlg& dlg) {
    using morvek::test::ReceiveFormat;
    const std::string sent = morvek::test::RandomBytes(10 << 20, 7, ReceiveFormat::Ascii);
    auto result = morvek::test::Transfer(
        dlg, sent, ReceiveFormat::Ascii, [&](const std::string& data) { peer.Write(data); }, std::chrono::seconds(600));
    printf("pty, 10 MB with journal: %.1f s = %.2f MB/s, %s; longest wait of journal text for its sync: %lu ms\n",
           result.seconds, 10 / result.seconds, result.received == sent ? "every byte as sent" : "BYTES LOST",
           static_cast<unsigned long>(LongestUnsyncedMilliseconds()));
  };
  transfer.Run();
  return 0;
}
