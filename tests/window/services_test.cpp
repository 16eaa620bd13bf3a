// The framework's small services: string resources and the application object.
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

TEST(ApplicationObject, TheLastOneMadeIsTheApplicationAndRunEndsWithoutAMainWindow) {
  {
    CWinApp app("テスト");
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(app.LoadIcon(128), LoadIconA(nullptr, MAKEINTRESOURCE(128)));
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCE(999)), nullptr);
    EXPECT_EQ(LoadIconA(nullptr, "named"), nullptr);
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(app.Run(), 0);  // no main window: nothing to run
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
}

}  // namespace
