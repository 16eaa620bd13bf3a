// A system call that a signal interrupts before it has done anything fails
// with EINTR and is simply made again. Every call of this folder that can be
// interrupted goes through RetryOnEintr, as Qt's qt_safe_* wrappers do.
#pragma once

#include <cerrno>

namespace morvek::posix {

// Makes `call` (a system call that returns -1 and sets errno when it fails)
// until it does not fail with EINTR, and returns its last result; errno is
// the last call's.
template <class Call>
auto RetryOnEintr(Call&& call) {
  for (;;) {
    const auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

}  // namespace morvek::posix
