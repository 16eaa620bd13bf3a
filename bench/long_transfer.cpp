// A hundred megabytes of random bytes (or the megabytes given as the first
// argument) into the running terminal, through a pty at full speed and through
// the loopback plug at 10,000,000 baud (or the rate given as the second
// argument; a third argument "loopback" leaves the pty out), shown as ASCII
// and as HEX. The plug's 16 KB input queue lasts
// 8 ms at 20,000,000 baud; when the reader, at the lowest priority, is kept
// from it longer (run two CPU-bound processes beside the bench), the plug
// holds its writer instead of dropping bytes. For each run it prints the rate, the rate in each tenth of the transfer (the cost of
// taking a block must not grow with the text already held), the resident
// memory against the box's size, and whether the box decodes back to exactly
// the bytes sent (checksum).
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/testing.h"
#include "port/serial_driver.h"
#include "support/pty_peer.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "support/transfer.h"
#include "process_memory.h"

namespace {

using Clock = std::chrono::steady_clock;
using morvek::test::ReceiveFormat;

// A 64-bit FNV-1a checksum of the bytes sent, printed with the figures.
std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

// One transfer with its figures; false when a byte was lost or changed.
bool Measure(CTerminalDlg& dlg, const char* line, ReceiveFormat format, size_t bytes,
             const std::function<void(const std::string&)>& feed) {
  const std::string sent = morvek::test::RandomBytes(bytes, 11, format);
  morvek::test::SelectReceiveFormat(dlg, format);
  dlg.m_strReceive = "";
  dlg.UpdateData(FALSE);
  long rssBefore = morvek::bench::ResidentKilobytes();

  // The time at which each tenth of the bytes was shown.
  std::vector<Clock::time_point> tenths;
  auto start = Clock::now();
  auto result = morvek::test::Transfer(dlg, sent, format, feed, std::chrono::seconds(3600), [&](size_t shown) {
    while (tenths.size() < 10 && shown >= (tenths.size() + 1) * (bytes / 10)) tenths.push_back(Clock::now());
  });
  bool whole = result.complete && result.decoded && result.received == sent;
  double mb = bytes / double(1 << 20);
  printf("%s, %s: %.0f MB in %.1f s = %.2f MB/s; box %.0f MB, RSS %.0f MB (+%.0f MB); checksum %016llx %s\n", line,
         format == ReceiveFormat::Ascii ? "ASCII" : "HEX", mb, result.seconds, mb / result.seconds,
         dlg.m_strReceive.GetLength() / double(1 << 20), morvek::bench::ResidentKilobytes() / 1024.0,
         (morvek::bench::ResidentKilobytes() - rssBefore) / 1024.0, static_cast<unsigned long long>(Checksum(sent)),
         whole ? "(every byte as sent)" : "(BYTES LOST OR CHANGED)");
  printf("  MB/s per tenth:");
  double first = 0;
  double last = 0;
  for (size_t i = 0; i < tenths.size(); ++i) {
    double seconds = std::chrono::duration<double>(tenths[i] - (i == 0 ? start : tenths[i - 1])).count();
    double rate = mb / 10 / seconds;
    printf(" %.2f", rate);
    if (i == 0) first = rate;
    last = rate;
  }
  printf("  (last/first x%.2f)\n", first > 0 ? last / first : 0);
  fflush(stdout);
  dlg.m_strReceive = "";
  dlg.UpdateData(FALSE);
  return whole;
}

bool RunOn(const std::string& device, const std::function<bool(CTerminalDlg&)>& script) {
  setenv("MORVEK_COM1", device.c_str(), 1);
  bool ok = false;
  morvek::test::TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) { ok = script(dlg); };
  session.Run();
  return session.mainShown && ok;
}

}  // namespace

int main(int argc, char** argv) {
  size_t bytes = (argc > 1 ? static_cast<size_t>(atol(argv[1])) : 100) << 20;
  DWORD loopbackRate = argc > 2 ? static_cast<DWORD>(atol(argv[2])) : 10000000;
  const std::string loopbackLine = "loopback plug at " + std::to_string(loopbackRate) + " baud";
  morvek::testing::StartWindowSystem(argc, argv);
  morvek::testing::CaptureMessageBoxes(true);
  morvek::test::TempCurrentDir dir;
  bool ok = true;

  if (argc <= 3 || std::string(argv[3]) != "loopback") {
    morvek::test::PtyPeer peer;
    ok &= RunOn(peer.SlavePath(), [&](CTerminalDlg& dlg) {
      auto feed = [&](const std::string& data) { peer.Write(data); };
      bool whole = Measure(dlg, "pty", ReceiveFormat::Ascii, bytes, feed);
      return Measure(dlg, "pty", ReceiveFormat::Hex, bytes, feed) && whole;
    });
  }

  ok &= RunOn("loopback", [&](CTerminalDlg& dlg) {
    DCB dcb{};
    GetCommState(g_hComm, &dcb);
    dcb.BaudRate = loopbackRate;
    SetCommState(g_hComm, &dcb);
    auto feed = [](const std::string& data) { morvek::test::WriteToPort(data); };
    bool whole = Measure(dlg, loopbackLine.c_str(), ReceiveFormat::Ascii, bytes, feed);
    return Measure(dlg, loopbackLine.c_str(), ReceiveFormat::Hex, bytes, feed) && whole;
  });
  printf("%s\n", ok ? "nothing lost" : "BYTES WERE LOST");
  return ok ? 0 : 1;
}
