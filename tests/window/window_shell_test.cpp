// The window around a dialog: size notifications from creation, maximising,
// minimising and restoring; the icon, and painting it while minimised.
#include <gtest/gtest.h>

#include <vector>

#include "dialog_runner.h"
#include "platform/resources.h"

namespace {

using namespace std::chrono_literals;
using morvek::test::kAboutTemplate;
using morvek::test::kMainTemplate;
using morvek::test::RunDialog;
using morvek::testing::PumpUntil;

constexpr UINT kIconId = 128;

struct SizeNote {
  UINT kind;
  int cx, cy;
  bool controlsExist;
  bool operator==(const SizeNote&) const = default;
};

class ShellDialog : public CDialog {
 public:
  ShellDialog() : CDialog(kMainTemplate), m_hIcon(LoadIconA(nullptr, MAKEINTRESOURCE(kIconId))) {}
  HICON m_hIcon;
  std::vector<SizeNote> sizes;
  int paints = 0;

  void OnSize(UINT nType, int cx, int cy) {
    Default();
    sizes.push_back({nType, cx, cy, GetDlgItem(IDCANCEL) != nullptr});
  }
  // As the program paints: its icon, centred, while minimised.
  void OnPaint() {
    ++paints;
    if (!IsIconic()) {
      Default();
      return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
  }
  const SizeNote& Last() const { return sizes.back(); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ShellDialog, CDialog)
  ON_WM_SIZE()
  ON_WM_PAINT()
END_MESSAGE_MAP()

HWND HandleOf(const CWnd& window) { return window.m_hWnd; }

TEST(WindowShell, SizeNotificationsFollowTheClientArea) {
  ShellDialog dialog;
  RunDialog(dialog, [&](CDialog&) {
    HWND window = HandleOf(dialog);
    RECT client;
    GetClientRect(window, &client);
    ASSERT_FALSE(dialog.sizes.empty());
    // The first comes while the window is made, before its controls exist.
    EXPECT_EQ(dialog.sizes.front(), (SizeNote{SIZE_RESTORED, client.right, client.bottom, false}));

    dialog.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(PumpUntil([&] { return dialog.Last().kind == SIZE_MAXIMIZED && dialog.Last().cx > client.right; }, 5s));
    RECT maximised;
    GetClientRect(window, &maximised);
    EXPECT_EQ(dialog.Last(), (SizeNote{SIZE_MAXIMIZED, maximised.right, maximised.bottom, true}));
    EXPECT_TRUE(IsZoomed(window));

    dialog.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(PumpUntil([&] { return dialog.Last().kind == SIZE_MINIMIZED; }, 5s));
    EXPECT_EQ(dialog.Last(), (SizeNote{SIZE_MINIMIZED, 0, 0, true}));
    EXPECT_TRUE(IsIconic(window));
    EXPECT_FALSE(IsZoomed(window));

    dialog.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);  // back to maximised, as it was
    EXPECT_TRUE(PumpUntil([&] { return dialog.Last().kind == SIZE_MAXIMIZED; }, 5s));
    dialog.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(PumpUntil([&] { return dialog.Last() == SizeNote{SIZE_RESTORED, client.right, client.bottom, true}; }, 5s))
        << dialog.Last().cx << "x" << dialog.Last().cy;
    EXPECT_FALSE(IsIconic(window));
  });
}

TEST(WindowShell, TheIconIsSetAndPaintedWhileMinimised) {
  EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
  EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCE(999)), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, "named"), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCE(kIconId)), LoadIconA(nullptr, MAKEINTRESOURCE(kIconId)));

  ShellDialog dialog;
  ASSERT_NE(dialog.m_hIcon, nullptr);
  RunDialog(dialog, [&](CDialog&) {
    HWND window = HandleOf(dialog);
    EXPECT_EQ(dialog.SetIcon(dialog.m_hIcon, TRUE), nullptr);
    EXPECT_EQ(dialog.SetIcon(dialog.m_hIcon, FALSE), nullptr);
    EXPECT_EQ(dialog.SetIcon(dialog.m_hIcon, TRUE), dialog.m_hIcon);  // the previous one

    CPaintDC outside(&dialog);  // not painting now: nothing to draw on
    EXPECT_EQ(outside.GetSafeHdc(), nullptr);
    EXPECT_FALSE(outside.DrawIcon(0, 0, dialog.m_hIcon));

    dialog.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(window) != FALSE; }, 5s));
    int paintsBefore = dialog.paints;
    morvek::testing::WindowImage image = morvek::testing::RenderWindow(window);
    EXPECT_GT(dialog.paints, paintsBefore);
    ASSERT_GT(image.width, 32);
    int left = (image.width - 32 + 1) / 2;
    int top = (image.height - 32 + 1) / 2;
    // The icon's pixels (palette colours), its transparent corner the erased background.
    const IconResource* icon = FindIconResource(kIconId);
    const IconImage& big = icon->images[0];
    ASSERT_EQ(big.width, 32);
    for (int y = 0; y < 32; y += 5) {
      for (int x = 0; x < 32; x += 5) {
        int at = y * 32 + x;
        DWORD expected = (big.mask && big.mask[at]) ? image.At(0, 0) : kIconPalette[big.pixels[at] & 15];
        EXPECT_EQ(image.At(left + x, top + y), expected) << x << "," << y;
      }
    }
  });
}

}  // namespace
