// Worker threads: AfxBeginThread, CWinThread, AfxEndThread and waiting for a
// thread's end through its handle.
//
// Each CWinThread shares a State with its thread and its handle. The thread
// waits in the State until it is resumed, runs its procedure, deletes its
// CWinThread when asked to, and signals its end as its very last step; a wait
// on the handle waits for that signal. The std::thread is joined by whoever
// deletes the CWinThread on another thread (the end has been signalled by then,
// or is near), and detached when the thread deletes its own object.
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "afx_app.h"
#include "core/kernel_object.h"
#include "testing.h"
#include "win32_file.h"

struct CWinThread::State {
  enum class Phase { Suspended, Running, Abandoned };
  std::mutex mutex;
  std::condition_variable changed;
  Phase phase = Phase::Suspended;
  bool ended = false;
  std::thread thread;  // set before the thread may leave Suspended
};

namespace {

using State = CWinThread::State;

// What a thread handle names: the end of the thread can be waited for.
class ThreadObject : public morvek::core::KernelObject {
 public:
  explicit ThreadObject(std::shared_ptr<State> state) : m_state(std::move(state)) {}

  DWORD Wait(DWORD milliseconds) {
    std::unique_lock lock(m_state->mutex);
    auto ended = [this] { return m_state->ended; };
    if (milliseconds == INFINITE) {
      m_state->changed.wait(lock, ended);
      return WAIT_OBJECT_0;
    }
    return m_state->changed.wait_for(lock, std::chrono::milliseconds(milliseconds), ended) ? WAIT_OBJECT_0
                                                                                            : WAIT_TIMEOUT;
  }

 private:
  std::shared_ptr<State> m_state;
};

// Thrown by AfxEndThread and caught by the thread's own frame below, so that
// the thread ends from any depth of calls with its stack unwound.
struct ThreadEnd {
  bool deleteObject;
};

thread_local CWinThread* t_currentThread = nullptr;
std::atomic<DWORD> g_nextThreadId{1};

// The lowest priority raises the thread's nice value by 10 (the kernel stops
// at 19); any other priority leaves the thread as it was started.
void ApplyPriority(int priority) {
  constexpr int kLowestIncrement = 10;
  if (priority != THREAD_PRIORITY_LOWEST) return;
  const auto self = static_cast<id_t>(gettid());
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, self);
  if (errno != 0) return;
  setpriority(PRIO_PROCESS, self, nice + kLowestIncrement);
}

void SignalEnd(State& state) {
  std::lock_guard lock(state.mutex);
  state.ended = true;
  state.changed.notify_all();
}

void RunThread(CWinThread* self, std::shared_ptr<State> state, AFX_THREADPROC proc, LPVOID param, int priority) {
  {
    std::unique_lock lock(state->mutex);
    state->changed.wait(lock, [&] { return state->phase != State::Phase::Suspended; });
    if (state->phase == State::Phase::Abandoned) {
      // Deleted before it was resumed: the procedure never runs.
      state->ended = true;
      state->changed.notify_all();
      return;
    }
  }
  ApplyPriority(priority);
  t_currentThread = self;
  bool deleteObject = true;
  try {
    proc(param);
  } catch (const ThreadEnd& end) {
    deleteObject = end.deleteObject;
  }
  t_currentThread = nullptr;
  if (deleteObject && self->m_bAutoDelete) delete self;
  SignalEnd(*state);
}

}  // namespace

CWinThread::~CWinThread() {
  if (m_hThread) CloseHandle(m_hThread);
  if (!m_state) return;
  std::thread thread;
  {
    std::lock_guard lock(m_state->mutex);
    if (m_state->phase == State::Phase::Suspended) {
      m_state->phase = State::Phase::Abandoned;
      m_state->changed.notify_all();
    }
    thread = std::move(m_state->thread);
  }
  if (!thread.joinable()) return;
  if (thread.get_id() == std::this_thread::get_id()) {
    thread.detach();  // the thread deletes its own object on its way out
  } else {
    thread.join();
  }
}

DWORD CWinThread::ResumeThread() {
  const auto state = m_state;  // the thread may delete this object as soon as it runs
  if (!state) {
    SetLastError(ERROR_INVALID_HANDLE);
    return static_cast<DWORD>(-1);
  }
  std::lock_guard lock(state->mutex);
  if (state->phase != State::Phase::Suspended) return 0;
  state->phase = State::Phase::Running;
  state->changed.notify_all();
  return 1;  // the previous suspend count
}

namespace {

std::atomic<bool> g_failThreadStarts{false};

}  // namespace

namespace morvek::testing {

void FailThreadStarts(bool on) { g_failThreadStarts.store(on); }

}  // namespace morvek::testing

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT, DWORD dwCreateFlags,
                           SECURITY_ATTRIBUTES*) {
  if (!pfnThreadProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (g_failThreadStarts.load()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* thread = new CWinThread;
  thread->m_state = std::make_shared<State>();
  thread->m_hThread = morvek::core::RegisterHandle(std::make_shared<ThreadObject>(thread->m_state));
  thread->m_nThreadID = g_nextThreadId.fetch_add(1);
  try {
    thread->m_state->thread = std::thread(RunThread, thread, thread->m_state, pfnThreadProc, pParam, nPriority);
  } catch (const std::system_error&) {
    delete thread;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (!(dwCreateFlags & CREATE_SUSPENDED)) thread->ResumeThread();
  return thread;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete) {
  // Outside a worker thread there is no thread of ours to end: the call ends
  // the program, as ending its main thread would.
  if (!t_currentThread) std::exit(static_cast<int>(nExitCode));
  throw ThreadEnd{bDelete != FALSE};
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  auto thread = morvek::core::LookupHandleAs<ThreadObject>(hHandle);
  if (!thread) return WAIT_FAILED;
  return thread->Wait(dwMilliseconds);
}
