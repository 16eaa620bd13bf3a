// The main of every test program: the window system (headless), then GoogleTest.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/testing.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // The machine's own serial adapters are never numbered into the user's port
  // map by a test; tests that number adapters give folders of their own.
  setenv("MORVEK_SERIAL_BY_ID", "", 0);
  setenv("MORVEK_SERIAL_BY_PATH", "", 0);
  morvek::testing::StartWindowSystem(argc, argv);
  return RUN_ALL_TESTS();
}
