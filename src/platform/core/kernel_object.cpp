#include "core/kernel_object.h"

#include <mutex>
#include <unordered_map>

#include "core/last_error.h"

namespace morvek::core {

namespace {

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<LONG_PTR, std::shared_ptr<KernelObject>> objects;
  LONG_PTR next = 0x100;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

LONG_PTR Key(HANDLE handle) { return reinterpret_cast<LONG_PTR>(handle); }

// The table's entry for a handle, or end() with ERROR_INVALID_HANDLE. Called
// with the table's mutex held.
auto FindEntry(HandleTable& table, HANDLE handle) {
  auto it = table.objects.find(Key(handle));
  if (it == table.objects.end()) Fail(ERROR_INVALID_HANDLE);
  return it;
}

}  // namespace

BOOL KernelObject::Read(void*, DWORD, DWORD* done) {
  if (done) *done = 0;
  return Fail(ERROR_INVALID_FUNCTION);
}

BOOL KernelObject::Write(const void*, DWORD, DWORD* done) {
  if (done) *done = 0;
  return Fail(ERROR_INVALID_FUNCTION);
}

void SetLastErrorInvalidHandle() { Fail(ERROR_INVALID_HANDLE); }

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  LONG_PTR key = table.next;
  table.next += 4;
  table.objects.emplace(key, std::move(object));
  return reinterpret_cast<HANDLE>(key);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  auto it = FindEntry(table, handle);
  if (it == table.objects.end()) return nullptr;
  return it->second;
}

std::shared_ptr<KernelObject> UnregisterHandle(HANDLE handle) {
  auto& table = Table();
  std::lock_guard lock(table.mutex);
  auto it = FindEntry(table, handle);
  if (it == table.objects.end()) return nullptr;
  auto object = std::move(it->second);
  table.objects.erase(it);
  return object;
}

}  // namespace morvek::core
