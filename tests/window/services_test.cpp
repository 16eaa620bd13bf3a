// String resources: the About entry's text, cut to the caller's buffer.
#include <gtest/gtest.h>

#include <cstring>

#include "dialog_runner.h"

namespace {

TEST(StringResources, LoadStringCopiesWithinTheBuffer) {
  const char* about = "Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)...";
  char buffer[256];
  EXPECT_EQ(LoadStringA(nullptr, 101, buffer, sizeof buffer), static_cast<int>(std::strlen(about)));
  EXPECT_STREQ(buffer, about);
  char small[4];
  EXPECT_EQ(LoadStringA(nullptr, 101, small, sizeof small), 3);
  EXPECT_STREQ(small, "Mor");
  EXPECT_EQ(LoadStringA(nullptr, 9999, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(LoadStringA(nullptr, 101, nullptr, 10), 0);
  EXPECT_EQ(LoadStringA(nullptr, 101, buffer, 0), 0);
}

}  // namespace
