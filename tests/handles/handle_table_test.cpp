// The handle table, the errno mapping and the COM-name recogniser that every
// port and file call goes through.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/posix/errors.h"
#include "platform/core/kernel_object.h"
#include "platform/posix/open_targets.h"
#include "platform/win32.h"

namespace {

using morvek::core::KernelObject;
using morvek::core::RegisterHandle;

TEST(ComPortNames, OnlyCom1ToCom16InAnyCase) {
  struct Row {
    const char* name;
    int number;
  } rows[] = {{"COM1", 1},   {"com1", 1},  {"Com9", 9},  {"COM16", 16}, {"COM17", 0},  {"COM0", 0},
              {"COM01", 0},  {"COM", 0},   {"COM1 ", 0}, {"XCOM1", 0},  {"", 0},      {nullptr, 0},
              {"COM100", 0}, {"./COM1", 0}, {"COM-1", 0}};
  for (const auto& row : rows) EXPECT_EQ(morvek::posix::ComPortNumber(row.name), row.number) << (row.name ? row.name : "(null)");
}

TEST(ErrorMapping, TheCodesThatChooseAMessageOrAReaction) {
  // A full disk, a port that went away and a port another program holds each
  // lead somewhere else; anything unknown is a general failure.
  struct Row {
    int error;
    DWORD code;
  } rows[] = {{ENOSPC, ERROR_DISK_FULL},        {EDQUOT, ERROR_DISK_FULL},        {EIO, ERROR_DEVICE_REMOVED},
              {ENXIO, ERROR_DEVICE_REMOVED},    {EWOULDBLOCK, ERROR_SHARING_VIOLATION},
              {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}, {EBADF, ERROR_INVALID_HANDLE},
              {EINVAL, ERROR_INVALID_PARAMETER},          {12345, ERROR_GEN_FAILURE}};
  for (const auto& row : rows) EXPECT_EQ(morvek::posix::ErrorFromErrno(row.error), row.code) << row.error;
}

// Blocks in Read until cancelled, like a port with no data; counts live objects.
class BlockingObject : public KernelObject {
 public:
  explicit BlockingObject(std::atomic<int>& alive) : m_alive(alive) { ++m_alive; }
  ~BlockingObject() override { --m_alive; }
  void Cancel() override {
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    m_changed.notify_all();
  }
  BOOL Read(void*, DWORD, DWORD* done) override {
    *done = 0;
    std::unique_lock lock(m_mutex);
    m_entered = true;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_cancelled; });
    SetLastError(ERROR_OPERATION_ABORTED);
    return FALSE;
  }
  void WaitEntered() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_entered; });
  }

 private:
  std::atomic<int>& m_alive;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_cancelled = false;
  bool m_entered = false;
};

TEST(HandleTable, CloseWakesABlockedCallAndTheHandleIsNeverValidAgain) {
  std::atomic<int> alive{0};
  auto object = std::make_shared<BlockingObject>(alive);
  BlockingObject* raw = object.get();
  HANDLE handle = RegisterHandle(std::move(object));
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  DWORD readError = 0;
  BOOL readResult = TRUE;
  std::thread reader([&] {
    char buffer[4];
    DWORD got = 99;
    readResult = ReadFile(handle, buffer, sizeof buffer, &got, nullptr);
    readError = GetLastError();
  });
  raw->WaitEntered();
  EXPECT_TRUE(CloseHandle(handle));
  reader.join();
  EXPECT_FALSE(readResult);
  EXPECT_EQ(readError, static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  EXPECT_EQ(alive.load(), 0) << "freed once the blocked call let go";

  char byte = 0;
  DWORD n = 7;
  EXPECT_FALSE(WriteFile(handle, &byte, 1, &n, nullptr));
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HANDLE next = RegisterHandle(std::make_shared<BlockingObject>(alive));
  EXPECT_NE(next, handle) << "values are never reused";
  for (HANDLE bad : {INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr), handle}) {
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_FALSE(CancelIoEx(bad, nullptr));
  }
  EXPECT_FALSE(ReadFile(next, &byte, 1, nullptr, reinterpret_cast<OVERLAPPED*>(&byte))) << "no overlapped I/O";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(CloseHandle(next));
  EXPECT_EQ(alive.load(), 0);
}

}  // namespace
