// Soak: auto-send at "100MS" over the loopback plug for an hour (or the seconds
// given as the first argument), the receive box growing all the while. Every
// minute it prints the sends seen against the timer ticks due, the box's size
// and the heap in use; at the end it checks that the box holds exactly the sent
// text (no block lost or torn), clears the box and prints the heap growth that
// is left once the box's text is gone (goal: <= 1 MB).
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <string_view>

#include "platform/testing.h"
#include "res/resource.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"
#include "process_memory.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The send box's text; the "CRLF" format adds the line ending to each send.
constexpr char kSendText[] = "MORVEK soak 0123456789";
constexpr size_t kBytesPerSend = sizeof kSendText - 1 + 2;

double HeapMegabytes() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / (1 << 20);
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  double duration = argc > 1 ? atof(argv[1]) : 3600;
  morvek::testing::StartWindowSystem(argc, argv);
  morvek::testing::CaptureMessageBoxes(true);
  morvek::test::TempCurrentDir dir;
  setenv("MORVEK_COM1", "loopback", 1);
  int failures = 0;

  morvek::test::TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    using morvek::testing::PumpUntil;
    morvek::testing::TypeText(dlg.GetDlgItem(IDC_SEND_BOX)->m_hWnd, kSendText);
    morvek::testing::ChooseComboEntry(dlg.m_cmbSendFormat.m_hWnd, 3);  // CRLF
    PumpUntil([] { return false; }, 1s);
    double heapStart = HeapMegabytes();
    double rssStart = (morvek::bench::ResidentKilobytes() / 1024.0);
    printf("start: heap %.2f MB, RSS %.1f MB\n", heapStart, rssStart);

    auto start = Clock::now();
    morvek::testing::ChooseComboEntry(dlg.m_cmbInterval.m_hWnd, 1);  // 100MS
    size_t lastSends = 0;
    for (double left = duration; left > 0; left = duration - Seconds(Clock::now() - start)) {
      PumpUntil([] { return false; }, std::chrono::milliseconds(static_cast<long>(std::min(60.0, left) * 1000) + 1));
      double elapsed = Seconds(Clock::now() - start);
      size_t sends = static_cast<size_t>(dlg.m_strReceive.GetLength()) / kBytesPerSend;
      printf("%5.0f s: %zu sends (+%zu), %.0f ticks due, box %.2f MB, heap %.2f MB, RSS %.1f MB\n", elapsed, sends,
             sends - lastSends, elapsed / 0.1, dlg.m_strReceive.GetLength() / double(1 << 20), HeapMegabytes(),
             (morvek::bench::ResidentKilobytes() / 1024.0));
      fflush(stdout);
      lastSends = sends;
    }
    morvek::testing::ChooseComboEntry(dlg.m_cmbInterval.m_hWnd, 0);  // NO
    double elapsed = Seconds(Clock::now() - start);
    PumpUntil([] { return false; }, 1s);  // the last send comes back

    // Checked in place: a copy of the box would count as growth below.
    std::string_view box = dlg.m_strReceive.View();
    const std::string line = std::string(kSendText) + "\r\n";
    size_t sends = box.size() / kBytesPerSend;
    size_t torn = 0;
    for (size_t i = 0; i + kBytesPerSend <= box.size(); i += kBytesPerSend) {
      if (box.substr(i, kBytesPerSend) != line) ++torn;
    }
    if (box.size() % kBytesPerSend != 0) ++torn;
    const double boxMegabytes = box.size() / double(1 << 20);
    double due = elapsed / 0.1;
    printf("after %.0f s: %zu sends of %zu bytes received, %.0f ticks due (%.2f %% of them sent), %zu damaged\n",
           elapsed, sends, kBytesPerSend, due, 100.0 * sends / due, torn);
    if (torn != 0) ++failures;

    double heapFull = HeapMegabytes();
    morvek::test::PressButton(dlg, IDC_CLEAR_RECEIVE);
    PumpUntil([] { return false; }, 1s);
    malloc_trim(0);
    double heapCleared = HeapMegabytes();
    printf("heap: %.2f MB at start, %.2f MB with %.2f MB in the box, %.2f MB after clearing it\n", heapStart,
           heapFull, boxMegabytes, heapCleared);
    printf("growth beyond the text held: %.3f MB (goal <= 1 MB); RSS %.1f MB -> %.1f MB\n", heapCleared - heapStart,
           rssStart, (morvek::bench::ResidentKilobytes() / 1024.0));
    if (heapCleared - heapStart > 1.0) ++failures;
    if (!morvek::testing::TakeMessageBoxTexts().empty()) {
      printf("a message box was shown during the soak\n");
      ++failures;
    }
  };
  session.Run();
  if (!session.mainShown) {
    fprintf(stderr, "the terminal did not start on the loopback plug\n");
    return 1;
  }
  return failures == 0 ? 0 : 1;
}
