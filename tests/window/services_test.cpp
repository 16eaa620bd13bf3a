// The framework's small services: message boxes and beeps, the wait cursor,
// the file dialog, string resources and the application object.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dialog_runner.h"
#include "support/temp_dir.h"

namespace {

using morvek::test::kAboutTemplate;
using morvek::test::RunDialog;

TEST(MessageBoxes, CapturedBoxesRecordTheirTextsInOrderAndAnswerOk) {
  morvek::testing::CaptureMessageBoxes(true);
  morvek::testing::TakeMessageBoxTexts();
  std::vector<std::string> seenByHandler;
  morvek::testing::OnMessageBox([&](const std::string& text) { seenByHandler.push_back(text); });
  EXPECT_EQ(AfxMessageBox("送信に失敗しました"), IDOK);
  EXPECT_EQ(AfxMessageBox(nullptr, MB_ICONERROR), IDOK);
  CDialog dialog(kAboutTemplate);
  RunDialog(dialog, [&](CDialog& d) { EXPECT_EQ(d.MessageBox("from a window", "caption"), IDOK); });
  morvek::testing::OnMessageBox(nullptr);
  morvek::testing::CaptureMessageBoxes(false);
  std::vector<std::string> expected{"送信に失敗しました", "", "from a window"};
  EXPECT_EQ(morvek::testing::TakeMessageBoxTexts(), expected);
  EXPECT_EQ(seenByHandler, expected);
  EXPECT_TRUE(morvek::testing::TakeMessageBoxTexts().empty());

  morvek::testing::TakeBeepCount();
  MessageBeep(MB_OK);
  MessageBeep(MB_ICONERROR);
  EXPECT_EQ(morvek::testing::TakeBeepCount(), 2);
  EXPECT_EQ(morvek::testing::TakeBeepCount(), 0);
}

TEST(WaitCursor, NestsAndEndsWithTheLastEnd) {
  using morvek::testing::WaitCursorShown;
  CCmdTarget target;
  EXPECT_FALSE(WaitCursorShown());
  target.BeginWaitCursor();
  {
    CWaitCursor inner;
    EXPECT_TRUE(WaitCursorShown());
  }
  EXPECT_TRUE(WaitCursorShown());
  target.EndWaitCursor();
  EXPECT_FALSE(WaitCursorShown());
  target.EndWaitCursor();  // one end too many is harmless
  EXPECT_FALSE(WaitCursorShown());
}

TEST(FileDialog, AScriptedAnswerServesTheNextDialogOnce) {
  morvek::test::TempCurrentDir folder;
  CFileDialog first(TRUE, "", "*.*", OFN_HIDEREADONLY, "すべて(*.*)|*.*|ﾃｷｽﾄ(*.txt)|*.txt||");
  morvek::testing::ScriptFileDialog("chosen.txt");  // need not exist
  EXPECT_EQ(first.DoModal(), IDOK);
  EXPECT_EQ(std::string(first.GetPathName().View()), (folder.path() / "chosen.txt").string());
  morvek::testing::ScriptFileDialog(std::nullopt);
  CFileDialog second(TRUE);
  EXPECT_EQ(second.DoModal(), IDCANCEL);
  EXPECT_TRUE(second.GetPathName().IsEmpty());
}

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
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(app.LoadIcon(128), LoadIconA(nullptr, MAKEINTRESOURCE(128)));
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(app.Run(), 0);  // no main window: nothing to run
    CDialog main(kAboutTemplate);
    app.m_pMainWnd = &main;
    EXPECT_EQ(AfxGetMainWnd(), &main);
    app.m_pMainWnd = nullptr;
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
}

}  // namespace
