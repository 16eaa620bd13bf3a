// How alive the window stays during a long send: 10 KB (or the kilobytes given
// as the first argument) sent with the Send button on the loopback plug at
// 9600 bit/s. While the send runs, the window is asked to repaint every 10 ms
// (as the window system asks while a user moves things over it); the bench
// prints the longest gap between two paints of the window and how many paints
// there were. The goal is at most 250 ms.
#include <stdio.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/qt/window_registry.h"
#include "platform/testing.h"
#include "port/serial_driver.h"
#include "res/resource.h"
#include "support/temp_dir.h"
#include "support/terminal_session.h"

namespace {

using Clock = std::chrono::steady_clock;

// Notes the time of every paint of a window or of one of its controls.
class PaintClock : public QObject {
 public:
  std::vector<Clock::time_point> paints;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints.push_back(Clock::now());
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const size_t kilobytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10;
  morvek::testing::StartWindowSystem(argc, argv);
  morvek::testing::CaptureMessageBoxes(true);
  morvek::test::TempCurrentDir dir;
  setenv("MORVEK_COM1", "loopback", 1);

  bool sent = false;
  double seconds = 0;
  double longestGapMs = 0;
  size_t paintCount = 0;
  morvek::test::TerminalSession session;
  session.script = [&](CTerminalDlg& dlg) {
    DCB dcb{};
    GetCommState(g_hComm, &dcb);
    dcb.BaudRate = 9600;
    SetCommState(g_hComm, &dcb);
    std::string text;
    while (text.size() < kilobytes * 1024) text += "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n";
    text.resize(kilobytes * 1024);
    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText(CString(std::string_view(text)));

    QWidget* window = morvek::qt::FindWindowRecord(dlg.m_hWnd)->widget;
    PaintClock clock;
    window->installEventFilter(&clock);
    QTimer expose;
    QObject::connect(&expose, &QTimer::timeout, window, [window] { window->update(); });
    expose.start(10);

    const auto start = Clock::now();
    clock.paints.push_back(start);
    morvek::testing::Click(dlg.GetDlgItem(IDC_SEND)->m_hWnd);
    const auto end = Clock::now();
    clock.paints.push_back(end);
    expose.stop();
    window->removeEventFilter(&clock);

    seconds = std::chrono::duration<double>(end - start).count();
    double longestAt = 0;
    for (size_t i = 1; i < clock.paints.size(); ++i) {
      const double gap = std::chrono::duration<double, std::milli>(clock.paints[i] - clock.paints[i - 1]).count();
      if (gap > longestGapMs) {
        longestGapMs = gap;
        longestAt = std::chrono::duration<double>(clock.paints[i - 1] - start).count();
      }
    }
    printf("longest gap begins %.2f s after the click; gaps over 100 ms begin at:", longestAt);
    for (size_t i = 1; i < clock.paints.size(); ++i) {
      if (clock.paints[i] - clock.paints[i - 1] > std::chrono::milliseconds(100)) {
        printf(" %.2f s", std::chrono::duration<double>(clock.paints[i - 1] - start).count());
      }
    }
    printf("\n");
    std::vector<double> gaps;
    for (size_t i = 1; i < clock.paints.size(); ++i) {
      gaps.push_back(std::chrono::duration<double, std::milli>(clock.paints[i] - clock.paints[i - 1]).count());
    }
    std::sort(gaps.begin(), gaps.end());
    if (!gaps.empty()) printf("median gap between paints %.0f ms\n", gaps[gaps.size() / 2]);
    paintCount = clock.paints.size() - 2;
    sent = morvek::testing::TakeMessageBoxTexts().empty() && dlg.m_bSending == 0;
  };
  session.Run();

  printf("send of %zu KB at 9600 bit/s on the loopback plug: %.1f s, %zu paints, longest gap between paints %.0f ms "
         "(goal <= 250 ms)%s\n",
         kilobytes, seconds, paintCount, longestGapMs, sent ? "" : " -- THE SEND FAILED");
  return sent && session.mainShown ? 0 : 1;
}
