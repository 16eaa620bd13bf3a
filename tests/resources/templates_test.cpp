// The dialog templates, strings and icon as the program's windows rely on them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/resources.h"
#include "platform/win32_user.h"
#include "res/resource.h"

namespace {

const DialogControlTemplate* FindControl(const DialogTemplate& t, int id) {
  for (size_t i = 0; i < t.controlCount; ++i)
    if (t.controls[i].id == id) return &t.controls[i];
  return nullptr;
}

struct ControlRow {
  int id;
  const char* className;
  short x, y, cx, cy;
  const char* text;
  DWORD mustHave;
  DWORD mustNotHave;
};

void ExpectControls(const DialogTemplate& t, std::initializer_list<ControlRow> rows) {
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    const DialogControlTemplate* c = FindControl(t, row.id);
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->className, row.className);
    EXPECT_EQ(c->x, row.x);
    EXPECT_EQ(c->y, row.y);
    EXPECT_EQ(c->cx, row.cx);
    EXPECT_EQ(c->cy, row.cy);
    EXPECT_STREQ(c->text, row.text);
    EXPECT_EQ(c->style & row.mustHave, row.mustHave);
    EXPECT_EQ(c->style & row.mustNotHave, 0u);
  }
}

TEST(DialogTemplates, MainDialogHasEveryControlWithItsIdPlaceAndStyle) {
  const DialogTemplate* t = FindDialogTemplate(IDD_TERMINAL_DIALOG);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->cx, 449);
  EXPECT_EQ(t->cy, 335);
  EXPECT_STREQ(t->caption, "");
  EXPECT_STREQ(t->fontName, "ＭＳ 明朝");
  EXPECT_EQ(t->pointSize, 10);
  EXPECT_EQ(t->style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_MODALFRAME),
            WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_MODALFRAME);
  EXPECT_EQ(t->style & WS_THICKFRAME, 0u);
  EXPECT_EQ(t->exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
  constexpr DWORD kMultiLine = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                               WS_HSCROLL | WS_BORDER;
  constexpr DWORD kCount = ES_READONLY | ES_NUMBER | ES_RIGHT | WS_BORDER;
  ExpectControls(*t, {
      {2, "BUTTON", 404, 2, 40, 16, "ｷｬﾝｾﾙ", BS_DEFPUSHBUTTON, 0},
      {1000, "BUTTON", 397, 88, 48, 23, "送信", BS_DEFPUSHBUTTON, 0},
      {1002, "EDIT", 2, 115, 444, 71, "", kMultiLine, ES_READONLY},
      {1003, "EDIT", 2, 239, 444, 93, "", kMultiLine | ES_READONLY, 0},
      {1001, "BUTTON", 156, 220, 46, 15, "受信クリア", BS_DEFPUSHBUTTON, 0},
      {1007, "BUTTON", 152, 94, 47, 15, "送信クリア", BS_DEFPUSHBUTTON, 0},
      {1006, "COMBOBOX", 101, 95, 34, 66, "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0},
      {1008, "COMBOBOX", 102, 221, 45, 66, "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0},
      {1009, "EDIT", 52, 3, 262, 12, "", ES_READONLY, WS_BORDER},
      {1010, "EDIT", 134, 28, 14, 12, "", ES_READONLY | ES_CENTER, WS_BORDER},
      {1011, "EDIT", 36, 28, 14, 12, "", ES_READONLY | ES_CENTER, WS_BORDER},
      {1012, "EDIT", 85, 28, 14, 12, "", ES_READONLY | ES_CENTER, WS_BORDER},
      {1013, "EDIT", 176, 28, 14, 12, "", ES_READONLY | ES_CENTER, WS_BORDER},
      {1015, "BUTTON", 229, 25, 35, 12, "DTR(4)", BS_AUTOCHECKBOX, 0},
      {1017, "BUTTON", 270, 25, 34, 12, "RTS(7)", BS_AUTOCHECKBOX, 0},
      {1014, "COMBOBOX", 279, 95, 34, 111, "", CBS_DROPDOWNLIST | WS_VSCROLL, 0},
      {1004, "BUTTON", 231, 70, 52, 16, "ファイル選択", BS_DEFPUSHBUTTON, 0},
      {1005, "BUTTON", 239, 190, 47, 17, "ポート選択", BS_DEFPUSHBUTTON, 0},
      {1016, "EDIT", 402, 193, 21, 12, "", kCount, 0},
      {1018, "EDIT", 398, 71, 44, 12, "", kCount, 0},
      {1021, "EDIT", 398, 216, 44, 12, "", kCount, 0},
      {1019, "EDIT", 81, 49, 365, 14, "", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 0},
  });
  // Every control with an id is a tab stop; 42 controls in all, in template order.
  EXPECT_EQ(t->controlCount, 42u);
  EXPECT_EQ(t->controls[0].id, 2);
  EXPECT_EQ(t->controls[t->controlCount - 1].id, -1);
  std::set<int> ids;
  for (size_t i = 0; i < t->controlCount; ++i) {
    if (t->controls[i].id < 0) continue;
    EXPECT_TRUE(t->controls[i].style & WS_TABSTOP) << t->controls[i].id;
    EXPECT_TRUE(ids.insert(t->controls[i].id).second) << "duplicate id " << t->controls[i].id;
  }
  EXPECT_EQ(ids.size(), 22u);
}

TEST(DialogTemplates, PortSettingsAndAboutBox) {
  const DialogTemplate* settings = FindDialogTemplate(IDD_PORT_SETTINGS);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->cx, 121);
  EXPECT_EQ(settings->cy, 170);
  EXPECT_STREQ(settings->caption, "ポートの設定");
  EXPECT_EQ(settings->controls[0].id, IDOK);
  constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
  ExpectControls(*settings, {
      {1, "BUTTON", 88, 155, 32, 14, "OK", BS_DEFPUSHBUTTON, 0},
      {1006, "COMBOBOX", 79, 25, 41, 126, "", kList, 0},
      {1008, "COMBOBOX", 78, 50, 42, 61, "", kList, 0},
      {1009, "COMBOBOX", 77, 74, 43, 58, "", kList, 0},
      {1010, "COMBOBOX", 77, 97, 43, 63, "", kList, 0},
      {1011, "COMBOBOX", 77, 118, 43, 64, "", kList, 0},
      {1007, "COMBOBOX", 79, 4, 41, 126, "", kList, 0},
      {1002, "EDIT", 98, 137, 22, 13, "", ES_NUMBER | ES_RIGHT | ES_AUTOHSCROLL, ES_MULTILINE},
  });
  EXPECT_EQ(settings->controlCount, 15u);

  const DialogTemplate* about = FindDialogTemplate(IDD_ABOUTBOX);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->cx, 235);
  EXPECT_EQ(about->cy, 55);
  EXPECT_STREQ(about->caption, "Morvekのﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_STREQ(about->fontName, "ＭＳ Ｐゴシック");
  EXPECT_EQ(about->pointSize, 9);
  ASSERT_EQ(about->controlCount, 4u);
  EXPECT_EQ(about->controls[0].style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
  EXPECT_EQ(about->controls[0].iconId, static_cast<UINT>(IDR_MAINFRAME));
  EXPECT_STREQ(about->controls[1].text, "Morvek Version 1.0");
  EXPECT_EQ(about->controls[3].id, IDOK);

  EXPECT_EQ(FindDialogTemplate(999), nullptr);
}

TEST(Resources, AboutStringAndIcon) {
  // The system-menu entry, byte for byte in CP932.
  EXPECT_EQ(std::string(FindStringResource(IDS_ABOUTBOX)), "Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)...");
  EXPECT_EQ(FindStringResource(1), nullptr);

  const IconResource* icon = FindIconResource(IDR_MAINFRAME);
  ASSERT_NE(icon, nullptr);
  ASSERT_EQ(icon->imageCount, 2u);
  for (size_t i = 0; i < icon->imageCount; ++i) {
    const IconImage& image = icon->images[i];
    int size = i == 0 ? 32 : 16;
    EXPECT_EQ(image.width, size);
    EXPECT_EQ(image.height, size);
    std::set<int> colours;
    int opaque = 0;
    for (int p = 0; p < size * size; ++p) {
      EXPECT_LT(image.pixels[p], 16);
      if (!image.mask[p]) {
        ++opaque;
        colours.insert(image.pixels[p]);
      }
    }
    EXPECT_GT(opaque, size * size / 2);  // a drawing, not an empty square
    EXPECT_GE(colours.size(), 4u);
  }
  EXPECT_EQ(FindIconResource(129), nullptr);
}

}  // namespace
