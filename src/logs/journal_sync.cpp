// The sync worker of the journals: a thread that wakes once a second, takes
// the files written since its last round and syncs them outside the lock.
#include "logs/journal_sync.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

constexpr DWORD kSyncPeriodMs = 1000;

struct SyncState {
  std::mutex mutex;
  std::condition_variable wake;
  std::vector<HANDLE> written;    // files to sync in the next round
  DWORD dwOldestWrite = 0;        // tick of the first write that waits, when `written` is not empty
  DWORD dwLongestWait = 0;
  bool bStop = false;
  CWinThread* pWorker = nullptr;  // window thread only
};

SyncState& State() {
  static SyncState state;
  return state;
}

// One round: the files written so far reach the disk, and the wait of their
// oldest write is measured.
void SyncRound(std::unique_lock<std::mutex>& lock) {
  SyncState& state = State();
  std::vector<HANDLE> files;
  files.swap(state.written);
  DWORD dwOldest = state.dwOldestWrite;
  lock.unlock();
  for (HANDLE hFile : files) FlushFileBuffers(hFile);  // a failure is tried again with the next write
  DWORD dwWaited = GetTickCount() - dwOldest;
  lock.lock();
  if (!files.empty()) state.dwLongestWait = std::max(state.dwLongestWait, dwWaited);
}

UINT SyncWorker(LPVOID) {
  SyncState& state = State();
  std::unique_lock lock(state.mutex);
  while (!state.bStop) {
    state.wake.wait_for(lock, std::chrono::milliseconds(kSyncPeriodMs), [&] { return state.bStop; });
    SyncRound(lock);
  }
  return 0;
}

}  // namespace

void MarkJournalWritten(HANDLE hFile) {
  SyncState& state = State();
  if (state.pWorker == nullptr) {
    {
      std::lock_guard lock(state.mutex);
      state.bStop = false;
      state.dwLongestWait = 0;
    }
    state.pWorker = AfxBeginThread(SyncWorker, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (state.pWorker != nullptr) {
      state.pWorker->m_bAutoDelete = FALSE;
      state.pWorker->ResumeThread();
    }
  }
  std::lock_guard lock(state.mutex);
  if (state.written.empty()) state.dwOldestWrite = GetTickCount();
  if (std::find(state.written.begin(), state.written.end(), hFile) == state.written.end()) {
    state.written.push_back(hFile);
  }
}

void ForgetJournal(HANDLE hFile) {
  SyncState& state = State();
  std::lock_guard lock(state.mutex);
  std::erase(state.written, hFile);
}

void StopJournalSync() {
  SyncState& state = State();
  if (state.pWorker == nullptr) return;
  {
    std::lock_guard lock(state.mutex);
    state.bStop = true;
  }
  state.wake.notify_all();
  WaitForSingleObject(state.pWorker->m_hThread, INFINITE);
  delete state.pWorker;
  state.pWorker = nullptr;
}

DWORD LongestUnsyncedMilliseconds() {
  SyncState& state = State();
  std::lock_guard lock(state.mutex);
  return state.dwLongestWait;
}
