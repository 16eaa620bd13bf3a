// Worker threads: starting suspended, waiting on the handle, ending from deep
// inside a call, deleting themselves, and the priority hint.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/afx.h"
#include "support/temp_dir.h"

namespace {

// A gate a worker waits at until the test opens it.
class Gate {
 public:
  void Open() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_changed.notify_all();
  }
  void Pass() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_open; });
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_open = false;
};

struct Work {
  Gate gate;
  std::atomic<int> steps{0};
  std::atomic<int> unwound{0};
  int nice = 0;
};

struct Unwinds {
  explicit Unwinds(Work& work) : m_work(work) {}
  ~Unwinds() { ++m_work.unwound; }
  Work& m_work;
};

[[noreturn]] void EndFromDeepInside(Work& work, int depth) {
  Unwinds guard(work);
  if (depth == 0) AfxEndThread(7, FALSE);
  EndFromDeepInside(work, depth - 1);
}

UINT GatedProc(LPVOID param) {
  auto& work = *static_cast<Work*>(param);
  ++work.steps;
  work.gate.Pass();
  ++work.steps;
  return 0;
}

UINT EndingProc(LPVOID param) {
  auto& work = *static_cast<Work*>(param);
  ++work.steps;
  EndFromDeepInside(work, 5);
}

UINT NiceProc(LPVOID param) {
  auto& work = *static_cast<Work*>(param);
  errno = 0;
  work.nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  return 0;
}

TEST(Threads, ASuspendedThreadRunsOnResumeAndItsEndCanBeAwaited) {
  Work work;
  CWinThread* thread = AfxBeginThread(GatedProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  thread->m_bAutoDelete = FALSE;
  EXPECT_NE(thread->m_nThreadID, 0u);
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(work.steps, 0) << "nothing runs before ResumeThread";
  EXPECT_EQ(thread->ResumeThread(), 1u);
  EXPECT_EQ(thread->ResumeThread(), 0u);
  work.gate.Open();
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
  EXPECT_EQ(work.steps, 2);
  const HANDLE handle = thread->m_hThread;
  delete thread;
  EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED) << "the object closed its handle";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Threads, AfxEndThreadEndsAtOnceFromNestedCalls) {
  Work work;
  CWinThread* thread = AfxBeginThread(EndingProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  thread->m_bAutoDelete = FALSE;
  thread->ResumeThread();
  ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 30000), WAIT_OBJECT_0);
  EXPECT_EQ(work.steps, 1);
  EXPECT_EQ(work.unwound, 6) << "every frame was unwound";
  delete thread;
}

TEST(Threads, AnAutoDeleteThreadDeletesItselfAtItsEnd) {
  // The reader's way: AfxEndThread(1, TRUE) with the object deleted by the thread.
  std::vector<Work> works(20);
  std::vector<HANDLE> handles;
  for (auto& work : works) {
    CWinThread* thread = AfxBeginThread(GatedProc, &work, THREAD_PRIORITY_NORMAL, 0, 0);
    ASSERT_NE(thread, nullptr);
    handles.push_back(thread->m_hThread);  // the object lives on until the gate opens
  }
  for (auto& work : works) work.gate.Open();
  for (HANDLE handle : handles) {
    const DWORD result = WaitForSingleObject(handle, 30000);
    EXPECT_TRUE(result == WAIT_OBJECT_0 || result == WAIT_FAILED);
    // Once the end is signalled the object, and with it the handle, is gone.
    EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
  }
  for (auto& work : works) EXPECT_EQ(work.steps, 2);
}

TEST(Threads, AThreadDeletedBeforeResumeNeverRuns) {
  Work work;
  CWinThread* thread = AfxBeginThread(GatedProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  delete thread;
  EXPECT_EQ(work.steps, 0);
}

TEST(Threads, LowestPriorityRaisesTheNiceValue) {
  errno = 0;
  const int mine = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  ASSERT_EQ(errno, 0);
  struct Row {
    int priority;
    bool lower;
  } rows[] = {{THREAD_PRIORITY_LOWEST, true}, {THREAD_PRIORITY_NORMAL, false}};
  for (const auto& row : rows) {
    Work work;
    CWinThread* thread = AfxBeginThread(NiceProc, &work, row.priority, 0, CREATE_SUSPENDED);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 30000), WAIT_OBJECT_0);
    delete thread;
    // Raised by 10, but never past the limit of 19.
    EXPECT_EQ(work.nice, row.lower ? std::min(mine + 10, 19) : mine);
  }
}

TEST(Threads, WaitingOnAnythingButAThreadFails) {
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, INFINITE), WAIT_FAILED);
  morvek::test::TempCurrentDir dir;
  HANDLE file = CreateFileA("f.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WaitForSingleObject(file, INFINITE), WAIT_FAILED) << "a file has no end to wait for";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
