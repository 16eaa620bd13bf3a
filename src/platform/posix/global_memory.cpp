// Global memory blocks. Blocks are fixed, so a block's handle is its address.
// Every live block is entered in a registry: GlobalHandle, GlobalLock and
// GlobalFree check an address there before they use it, so a stray or
// already-freed address is refused with ERROR_INVALID_HANDLE instead of being
// read or freed.
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <unordered_set>

#include "core/last_error.h"
#include "posix/errors.h"
#include "win32_system.h"

namespace {

struct BlockRegistry {
  std::mutex mutex;
  std::unordered_set<const void*> blocks;
};

BlockRegistry& Registry() {
  static BlockRegistry registry;
  return registry;
}

bool IsBlock(const void* address) {
  auto& registry = Registry();
  std::lock_guard lock(registry.mutex);
  return registry.blocks.count(address) != 0;
}

}  // namespace

using morvek::core::Fail;

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  if ((uFlags & ~static_cast<UINT>(GMEM_ZEROINIT)) != 0) {
    Fail(ERROR_INVALID_PARAMETER);  // only fixed blocks exist here
    return nullptr;
  }
  if (dwBytes > static_cast<SIZE_T>(PTRDIFF_MAX)) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // An empty block still gets an address of its own.
  const SIZE_T bytes = dwBytes == 0 ? 1 : dwBytes;
  void* block = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
  if (!block) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto& registry = Registry();
  {
    std::lock_guard lock(registry.mutex);
    registry.blocks.insert(block);
  }
  return static_cast<HGLOBAL>(block);
}

LPVOID GlobalLock(HGLOBAL hMem) {
  if (!IsBlock(hMem)) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return hMem;
}

HGLOBAL GlobalHandle(LPCVOID pMem) {
  if (!IsBlock(pMem)) {
    Fail(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return static_cast<HGLOBAL>(const_cast<void*>(pMem));
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  if (!hMem) return nullptr;
  auto& registry = Registry();
  {
    std::lock_guard lock(registry.mutex);
    if (registry.blocks.erase(hMem) == 0) {
      Fail(ERROR_INVALID_HANDLE);
      return hMem;
    }
  }
  std::free(hMem);
  return nullptr;
}
