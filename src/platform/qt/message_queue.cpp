// Posted messages: PostMessage queues them (from any thread) and wakes the
// window thread's event loop with one posted Qt event, however many messages
// wait; the window thread dispatches them in order. Nested loops (modal
// dialogs, message boxes, local pumps) go on dispatching them.
#include "qt/message_queue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <deque>
#include <mutex>

#include "qt/window_procedure.h"
#include "qt/window_registry.h"
#include "win32_system.h"
#include "win32_user.h"

namespace morvek::qt {
namespace {

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::User + 0x4D);

class QueueWaker : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() != kWakeEvent) return QObject::event(event);
    DispatchPostedMessages();
    return true;
  }
};

struct Queue {
  std::mutex mutex;
  std::deque<MSG> messages;
  bool wakePosted = false;
  QueueWaker* waker = nullptr;  // lives on the window thread for the whole run
};

Queue& TheQueue() {
  static Queue queue;
  return queue;
}

// Caller holds the queue's lock.
void WakeLocked(Queue& queue) {
  if (queue.wakePosted || !queue.waker) return;
  queue.wakePosted = true;
  QCoreApplication::postEvent(queue.waker, new QEvent(kWakeEvent));
}

bool MatchesFilter(const MSG& message, HWND hwnd, UINT first, UINT last) {
  if (hwnd && !IsSelfOrChild(hwnd, message.hwnd)) return false;
  if (first == 0 && last == 0) return true;
  return message.message >= first && message.message <= last;
}

}  // namespace

void StartMessageQueue() {
  Queue& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  if (!queue.waker) queue.waker = new QueueWaker();
  if (!queue.messages.empty()) WakeLocked(queue);
}

void DispatchPostedMessages() {
  Queue& queue = TheQueue();
  std::size_t budget = 0;
  {
    std::lock_guard lock(queue.mutex);
    queue.wakePosted = false;
    budget = queue.messages.size();
  }
  while (budget-- > 0) {
    MSG message;
    {
      std::lock_guard lock(queue.mutex);
      if (queue.messages.empty()) return;
      message = queue.messages.front();
      queue.messages.pop_front();
      // A handler may run a nested loop: it must find the rest still awake.
      if (!queue.messages.empty()) WakeLocked(queue);
    }
    DispatchMessageA(&message);
  }
  std::lock_guard lock(queue.mutex);
  if (!queue.messages.empty()) WakeLocked(queue);
}

}  // namespace morvek::qt

using morvek::qt::TheQueue;

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!morvek::qt::IsLiveWindow(hWnd)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  queue.messages.push_back(MSG{hWnd, Msg, wParam, lParam, GetTickCount(), {0, 0}});
  morvek::qt::WakeLocked(queue);
  return TRUE;
}

BOOL PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (wMsgFilterMin == 0 && wMsgFilterMax == 0) QCoreApplication::processEvents(QEventLoop::AllEvents);
  auto& queue = TheQueue();
  std::lock_guard lock(queue.mutex);
  for (auto it = queue.messages.begin(); it != queue.messages.end();) {
    if (!morvek::qt::IsLiveWindow(it->hwnd)) {
      it = queue.messages.erase(it);  // its window is gone: dropped
      continue;
    }
    if (!morvek::qt::MatchesFilter(*it, hWnd, wMsgFilterMin, wMsgFilterMax)) {
      ++it;
      continue;
    }
    *lpMsg = *it;
    if (wRemoveMsg & PM_REMOVE) queue.messages.erase(it);
    return TRUE;
  }
  return FALSE;
}

BOOL TranslateMessage(const MSG* lpMsg) {
  // Keys reach the controls through the window system already as text: there
  // are no key messages in the queue to turn into characters.
  return FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg || !morvek::qt::IsLiveWindow(lpMsg->hwnd)) return 0;  // a message for a window that is gone is dropped
  return morvek::qt::CallWindowProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
