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

using morvek::posix::ComPortNumber;
using morvek::posix::ErrorFromErrno;
using morvek::core::KernelObject;
using morvek::core::LookupHandle;
using morvek::core::RegisterHandle;

TEST(ComPortNames, OnlyCom1ToCom16InAnyCase) {
  struct Row {
    const char* name;
    int number;
  } rows[] = {{"COM1", 1},  {"com1", 1},   {"Com9", 9},     {"COM10", 10}, {"COM16", 16}, {"COM17", 0},
              {"COM0", 0},  {"COM01", 0},  {"COM", 0},      {"COM1 ", 0},  {"XCOM1", 0},  {"COM1a", 0},
              {"", 0},      {nullptr, 0},  {"COM100", 0},   {"./COM1", 0}, {"C0M1", 0},   {"COM-1", 0}};
  for (const auto& row : rows) EXPECT_EQ(ComPortNumber(row.name), row.number) << (row.name ? row.name : "(null)");
}

TEST(ErrorMapping, ErrnoBecomesTheWindowsCode) {
  struct Row {
    int error;
    DWORD code;
  } rows[] = {{ENOENT, ERROR_FILE_NOT_FOUND},  {EACCES, ERROR_ACCESS_DENIED},      {EISDIR, ERROR_ACCESS_DENIED},
              {ENOSPC, ERROR_DISK_FULL},       {EDQUOT, ERROR_DISK_FULL},          {EIO, ERROR_DEVICE_REMOVED},
              {ENXIO, ERROR_DEVICE_REMOVED},   {EWOULDBLOCK, ERROR_SHARING_VIOLATION}, {EEXIST, ERROR_ALREADY_EXISTS},
              {EINVAL, ERROR_INVALID_PARAMETER}, {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
              {ENOTDIR, ERROR_PATH_NOT_FOUND}, {EBADF, ERROR_INVALID_HANDLE},     {12345, ERROR_GEN_FAILURE}};
  for (const auto& row : rows) EXPECT_EQ(ErrorFromErrno(row.error), row.code) << row.error;
}

class CountingObject : public KernelObject {
 public:
  explicit CountingObject(std::atomic<int>* alive) : m_alive(alive) { ++*m_alive; }
  ~CountingObject() override { --*m_alive; }
  void Cancel() override {
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    m_changed.notify_all();
  }
  // Blocks until cancelled, like a read with no data.
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
  std::atomic<int>* m_alive;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_cancelled = false;
  bool m_entered = false;
};

TEST(HandleTable, CloseWakesABlockedCallAndFreesTheObjectOnlyAfterIt) {
  std::atomic<int> alive{0};
  auto object = std::make_shared<CountingObject>(&alive);
  CountingObject* raw = object.get();
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
  EXPECT_EQ(alive.load(), 1);
  EXPECT_TRUE(CloseHandle(handle));
  reader.join();
  EXPECT_FALSE(readResult);
  EXPECT_EQ(readError, static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  EXPECT_EQ(alive.load(), 0);  // the last user let go

  // The handle is gone: every call on it now fails cleanly.
  EXPECT_FALSE(CloseHandle(handle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  char byte = 0;
  DWORD n = 7;
  EXPECT_FALSE(WriteFile(handle, &byte, 1, &n, nullptr));
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(LookupHandle(handle), nullptr);
}

TEST(HandleTable, ValuesAreNeverReusedAndBadHandlesFail) {
  std::atomic<int> alive{0};
  HANDLE first = RegisterHandle(std::make_shared<CountingObject>(&alive));
  EXPECT_TRUE(CloseHandle(first));
  HANDLE second = RegisterHandle(std::make_shared<CountingObject>(&alive));
  EXPECT_NE(first, second);
  EXPECT_TRUE(CloseHandle(second));
  for (HANDLE bad : {INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr), first}) {
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_FALSE(CancelIoEx(bad, nullptr));
  }
  EXPECT_EQ(alive.load(), 0);
  // Overlapped I/O is not offered.
  HANDLE third = RegisterHandle(std::make_shared<CountingObject>(&alive));
  char byte = 0;
  EXPECT_FALSE(ReadFile(third, &byte, 1, nullptr, reinterpret_cast<OVERLAPPED*>(&byte)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(CloseHandle(third));
}

}  // namespace
