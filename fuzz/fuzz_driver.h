// What a fuzz target and the seeded driver (seeded_driver.cpp) agree on.
//
// A target is written against the libFuzzer interface: it defines
// LLVMFuzzerTestOneInput, and may define LLVMFuzzerInitialize (called once, in
// the run's temporary current folder, before the first input) and
// MorvekFuzzRun. The driver feeds it generated inputs, or replays saved ones.
//
// When an input breaks an invariant the target calls morvek::fuzz::Fail: the
// driver then reports the seed and the input's index, saves the input as
// fuzz-failure-<target>-<index>.bin in the folder the driver was started in,
// and aborts. Replaying that file (pass it as an argument) repeats the failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

// Runs the driver's whole input loop; called once. The driver's default just
// calls loop(); a target that needs a running window defines its own, which
// calls loop() from inside the window's message loop.
void MorvekFuzzRun(const std::function<void()>& loop);

namespace morvek::fuzz {

// Reports the broken invariant and the input in hand, saves the input, aborts.
[[noreturn]] void Fail(const std::string& what);

inline void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

// Where two byte strings first differ, for a failure message: "" when they are
// equal, else the offset, both lengths and the next bytes of each in hex.
std::string Difference(std::string_view got, std::string_view expected);

// Checks that got equals expected; on a mismatch fails with what and where.
void CheckEqual(std::string_view got, std::string_view expected, const char* what);

}  // namespace morvek::fuzz
