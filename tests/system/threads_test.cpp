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

struct Work {
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;  // the gate the worker waits at
  std::atomic<int> steps{0};
  std::atomic<int> unwound{0};
  int nice = 0;
  void Open() {
    std::lock_guard lock(mutex);
    open = true;
    opened.notify_all();
  }
};

UINT GatedProc(LPVOID param) {
  auto& work = *static_cast<Work*>(param);
  ++work.steps;
  std::unique_lock lock(work.mutex);
  work.opened.wait(lock, [&] { return work.open; });
  ++work.steps;
  return 0;
}

struct Unwinds {
  ~Unwinds() { ++work.unwound; }
  Work& work;
};

[[noreturn]] void EndFromDeepInside(Work& work, int depth) {
  Unwinds guard{work};
  if (depth == 0) AfxEndThread(7, FALSE);
  EndFromDeepInside(work, depth - 1);
}

UINT EndingProc(LPVOID param) {
  ++static_cast<Work*>(param)->steps;
  EndFromDeepInside(*static_cast<Work*>(param), 5);
}

UINT NiceProc(LPVOID param) {
  static_cast<Work*>(param)->nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  return 0;
}

// Starts `proc` suspended and not deleting itself, resumes it and awaits its end.
void RunToEnd(AFX_THREADPROC proc, Work& work, int priority = THREAD_PRIORITY_NORMAL) {
  CWinThread* thread = AfxBeginThread(proc, &work, priority, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  thread->m_bAutoDelete = FALSE;
  thread->ResumeThread();
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 30000), WAIT_OBJECT_0);
  delete thread;
}

TEST(Threads, ASuspendedThreadRunsOnResumeAndItsEndCanBeAwaited) {
  Work work;
  CWinThread* thread = AfxBeginThread(GatedProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  thread->m_bAutoDelete = FALSE;
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(thread->ResumeThread(), 1u);
  work.Open();
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
  EXPECT_EQ(work.steps, 2);
  const HANDLE handle = thread->m_hThread;
  delete thread;
  EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED) << "the object closed its handle";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  Work never;  // deleted before it was resumed: it never runs, and nothing leaks
  delete AfxBeginThread(GatedProc, &never, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  EXPECT_EQ(never.steps, 0);
  Work ending;
  RunToEnd(EndingProc, ending);
  EXPECT_EQ(ending.steps, 1);
  EXPECT_EQ(ending.unwound, 6) << "AfxEndThread unwinds every frame";
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
  for (auto& work : works) work.Open();
  for (HANDLE handle : handles) {
    const DWORD result = WaitForSingleObject(handle, 30000);
    EXPECT_TRUE(result == WAIT_OBJECT_0 || result == WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED) << "once ended, the object and its handle are gone";
  }
  for (auto& work : works) EXPECT_EQ(work.steps, 2);
}

TEST(Threads, LowestPriorityRaisesTheNiceValueUpToItsLimit) {
  errno = 0;
  const int mine = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  ASSERT_EQ(errno, 0);
  for (int priority : {THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_NORMAL}) {
    Work work;
    RunToEnd(NiceProc, work, priority);
    EXPECT_EQ(work.nice, priority == THREAD_PRIORITY_LOWEST ? std::min(mine + 10, 19) : mine);
  }
}

TEST(Threads, WaitingOnAnythingButAThreadFails) {
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, INFINITE), WAIT_FAILED);
  morvek::test::TempCurrentDir dir;
  HANDLE file = CreateFileA("f.txt", GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(WaitForSingleObject(file, INFINITE), WAIT_FAILED) << "a file has no end to wait for";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
