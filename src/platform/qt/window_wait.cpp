// The window thread's wait for a blocking call (see core/window_wait.h).
#include "core/window_wait.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "win32_system.h"

namespace morvek::qt {
namespace {

// How long a call may take before the window thread starts waiting in a loop:
// short enough that nothing looks frozen, long enough that a quick write costs
// no thread hand-over of events.
constexpr std::chrono::milliseconds kQuickCall{20};

bool IsOperatorInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::Close:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

// Holds back the operator's input to windows and widgets while it lives, and
// posts it to its receivers, in its order, when it ends. The window system's
// own input stays in its queue anyway (the wait loop excludes it); this also
// catches input that reaches a widget by other ways. A modal dialog that a
// handler opens during the wait takes its input as usual.
class InputHold final : public QObject {
 public:
  InputHold() : m_modal(QApplication::activeModalWidget()) { QCoreApplication::instance()->installEventFilter(this); }
  ~InputHold() override {
    QCoreApplication::instance()->removeEventFilter(this);
    for (auto& [receiver, event] : m_held) {
      if (receiver) QCoreApplication::postEvent(receiver, event.release());
    }
  }

  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!IsOperatorInput(event->type()) || !(receiver->isWidgetType() || receiver->isWindowType())) return false;
    if (QApplication::activeModalWidget() != m_modal) return false;
    m_held.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
    // A close that is not refused would go ahead at once.
    if (event->type() == QEvent::Close) event->ignore();
    return true;
  }

 private:
  QPointer<QWidget> m_modal;  // the modal dialog up when the wait began
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};

struct CallState {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  BOOL result = FALSE;
  DWORD error = ERROR_SUCCESS;
};

bool OnWindowThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && !QCoreApplication::closingDown() && QThread::currentThread() == app->thread();
}

}  // namespace
}  // namespace morvek::qt

namespace morvek::core {

BOOL RunWhileWindowsWait(const std::function<BOOL()>& call) {
  using namespace morvek::qt;
  if (!OnWindowThread()) return call();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) return call();

  auto state = std::make_shared<CallState>();
  std::thread helper([state, &call, dispatcher] {
    BOOL result = call();
    DWORD error = GetLastError();
    {
      std::lock_guard lock(state->mutex);
      state->done = true;
      state->result = result;
      state->error = error;
    }
    state->ended.notify_all();
    dispatcher->wakeUp();
  });

  bool done = false;
  {
    std::unique_lock lock(state->mutex);
    done = state->ended.wait_for(lock, kQuickCall, [&] { return state->done; });
  }
  if (!done) {
    InputHold hold;
    for (;;) {
      {
        std::lock_guard lock(state->mutex);
        if (state->done) break;
      }
      // Returns after handling what arrived; the helper's wake-up ends the
      // last round.
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
  }
  helper.join();
  SetLastError(state->error);
  return state->result;
}

}  // namespace morvek::core
