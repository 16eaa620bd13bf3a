// The window system of a test program, and waiting on it.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "qt/application.h"
#include "qt/message_queue.h"
#include "testing.h"

namespace morvek::testing {

void StartWindowSystem(int& argc, char** argv) {
  // Headless unless the caller chose a platform.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qt::StartApplication(argc, argv);
}

void PumpOnce() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  qt::DispatchPostedMessages();
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  // Waits for events in short slices, so that `done` is asked again soon
  // after anything happened and the time-out is kept.
  constexpr std::chrono::milliseconds kSlice{10};
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    PumpOnce();
    if (done()) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return done();
    QTimer slice;
    slice.setSingleShot(true);
    slice.start(std::min(left, kSlice));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void PumpFor(std::chrono::milliseconds span) {
  QEventLoop loop;
  QTimer::singleShot(span, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace morvek::testing
