// The main of every test program: the window system (headless), then GoogleTest.
#include <gtest/gtest.h>

#include "platform/testing.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  morvek::testing::StartWindowSystem(argc, argv);
  return RUN_ALL_TESTS();
}
