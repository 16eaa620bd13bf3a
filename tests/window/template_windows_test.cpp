// The windows made from the program's templates 100, 102 and 130: every
// control with its id, text, place in pixels (from the dialog font's base
// units, as Windows computes them) and the behaviour of its class and style.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog_runner.h"
#include "platform/resources.h"

namespace {

using morvek::test::RunDialog;

int RoundedMulDiv(int a, int b, int c) { return (a * b + c / 2) / c; }

// The base unit that turns `units` into `pixels`, 0 when none does.
int BaseUnitFor(int units, int pixels, int divisor) {
  for (int base = 1; base < 64; ++base) {
    if (RoundedMulDiv(units, base, divisor) == pixels) return base;
  }
  return 0;
}

// A control's rectangle in its dialog's client pixels (the frame is as wide
// on every side).
RECT InClientArea(HWND dialog, HWND control) {
  RECT frame, client, own;
  GetWindowRect(dialog, &frame);
  GetClientRect(dialog, &client);
  GetWindowRect(control, &own);
  LONG border = ((frame.right - frame.left) - client.right) / 2;
  LONG originX = frame.left + border;
  LONG originY = frame.bottom - border - client.bottom;
  return RECT{own.left - originX, own.top - originY, own.right - originX, own.bottom - originY};
}

std::string TextOf(HWND window) {
  char text[512] = {0};
  GetWindowText(window, text, sizeof text);
  return text;
}

void ExpectClassBehaviour(HWND control, const DialogControlTemplate& source) {
  std::string_view className = source.className;
  if (className == "BUTTON" && (source.style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
    SendMessage(control, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessage(control, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessage(control, BM_SETCHECK, BST_UNCHECKED, 0);
  } else if (className == "EDIT" && (source.style & ES_READONLY)) {
    EXPECT_FALSE(morvek::testing::TypeText(control, "1"));
  } else if (className == "EDIT") {
    ASSERT_TRUE(morvek::testing::TypeText(control, "12"));
    morvek::testing::TypeText(control, "x");
    EXPECT_EQ(TextOf(control), (source.style & ES_NUMBER) ? "12" : "x");  // digits only
    // Full-width digits from a Japanese input method are digits to a
    // digits-only edit; any other edit takes what was composed as it comes.
    morvek::testing::TypeText(control, "");
    ASSERT_TRUE(morvek::testing::CommitInputMethodText(control, "３５"));
    EXPECT_EQ(TextOf(control), (source.style & ES_NUMBER) ? "35" : "３５");
    morvek::testing::TypeText(control, "");
    ASSERT_TRUE(morvek::testing::CommitInputMethodText(control, "日本"));
    EXPECT_EQ(TextOf(control), (source.style & ES_NUMBER) ? "" : "日本");
    SetWindowText(control, source.text);
  }
}

TEST(TemplateWindows, TheWindowSystemsOwnTextsAreJapanese) {
  struct Row {
    const char* context;
    const char* source;
    const char* shown;
  } rows[] = {
      {"QFileDialog", "Open", "開く"},
      {"QFileDialog", "Look in:", "アドレス:"},
      {"QPlatformTheme", "Cancel", "キャンセル"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(morvek::testing::FrameworkText(row.context, row.source), row.shown) << row.source;
  }
}

TEST(TemplateWindows, EveryControlHasItsIdTextPlaceAndClass) {
  for (UINT id : {morvek::test::kAboutTemplate, morvek::test::kMainTemplate, morvek::test::kSettingsTemplate}) {
    SCOPED_TRACE(id);
    const DialogTemplate* source = FindDialogTemplate(id);
    ASSERT_NE(source, nullptr);
    CDialog dialog(id);
    RunDialog(dialog, [&](CDialog& d) {
      EXPECT_EQ(TextOf(d.m_hWnd), source->caption);
      RECT client;
      ASSERT_TRUE(GetClientRect(d.m_hWnd, &client));
      int baseX = BaseUnitFor(source->cx, client.right, 4);
      int baseY = BaseUnitFor(source->cy, client.bottom, 8);
      // A 9 or 10 point font's average width and height.
      EXPECT_GE(baseX, 5);
      EXPECT_LE(baseX, 9);
      EXPECT_GE(baseY, 11);
      EXPECT_LE(baseY, 18);

      std::vector<HWND> controls = morvek::testing::Controls(d.m_hWnd);
      ASSERT_EQ(controls.size(), source->controlCount);
      for (size_t i = 0; i < controls.size(); ++i) {
        const DialogControlTemplate& c = source->controls[i];
        SCOPED_TRACE(std::to_string(c.id) + " " + c.text);
        HWND control = controls[i];
        EXPECT_EQ(GetDlgCtrlID(control), c.id);
        EXPECT_EQ(GetParent(control), d.m_hWnd);
        if (c.id != -1) {
          EXPECT_EQ(GetDlgItem(d.m_hWnd, c.id), control);
        }
        EXPECT_EQ(TextOf(control), c.text);
        bool icon = (std::strcmp(c.className, "STATIC") == 0 && (c.style & SS_TYPEMASK) == SS_ICON);
        if (!icon) {
          EXPECT_EQ(morvek::testing::ShownText(control), c.text);
        }

        RECT place = InClientArea(d.m_hWnd, control);
        EXPECT_EQ(place.left, RoundedMulDiv(c.x, baseX, 4));
        EXPECT_EQ(place.top, RoundedMulDiv(c.y, baseY, 8));
        int width = RoundedMulDiv(c.cx, baseX, 4);
        int height = RoundedMulDiv(c.cy, baseY, 8);
        if (icon) {
          width = height = GetSystemMetrics(SM_CXICON);  // an icon control takes the icon's size
        }
        EXPECT_EQ(place.right - place.left, width);
        if (std::strcmp(c.className, "COMBOBOX") == 0) {
          EXPECT_LE(place.bottom - place.top, height);  // closed: one line; the template's height is the open list's
          EXPECT_GT(place.bottom - place.top, 10);
        } else {
          EXPECT_EQ(place.bottom - place.top, height);
        }
        ExpectClassBehaviour(control, c);
      }
      // Every text is shown whole at the template's rectangles.
      EXPECT_EQ(morvek::testing::ClippedTexts(d.m_hWnd), std::vector<std::string>());
    });
  }
}

}  // namespace
