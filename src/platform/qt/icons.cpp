#include "qt/icons.h"

#include <QPainter>
#include <map>
#include <vector>

#include "qt/paint_context.h"
#include "resources.h"
#include "win32_system.h"
#include "win32_user.h"

namespace morvek::qt {
namespace {

constexpr int kMaxIconSide = 256;
constexpr int kSystemIconSize = 32;  // SM_CXICON, SM_CYICON
constexpr int kSmallIconSize = 16;

struct LoadedIcon {
  std::vector<QImage> images;
};

struct IconTable {
  std::map<HICON, LoadedIcon> icons;
  std::map<UINT, HICON> byResource;
  std::uintptr_t next = 0x30010;
};

IconTable& Icons() {
  static IconTable table;
  return table;
}

QImage ImageOf(const IconImage& source) {
  if (source.width <= 0 || source.height <= 0 || source.width > kMaxIconSide || source.height > kMaxIconSide ||
      !source.pixels) {
    return {};
  }
  QImage image(source.width, source.height, QImage::Format_ARGB32);
  for (int y = 0; y < source.height; ++y) {
    for (int x = 0; x < source.width; ++x) {
      int at = y * source.width + x;
      bool transparent = source.mask && source.mask[at] != 0;
      QRgb colour = 0xFF000000u | kIconPalette[source.pixels[at] & 0x0F];
      image.setPixel(x, y, transparent ? 0u : colour);
    }
  }
  return image;
}

const LoadedIcon* Find(HICON icon) {
  auto found = Icons().icons.find(icon);
  return found == Icons().icons.end() ? nullptr : &found->second;
}

}  // namespace

QImage IconImageOf(HICON icon, int size) {
  const LoadedIcon* loaded = Find(icon);
  if (!loaded || loaded->images.empty()) return {};
  const QImage* largest = &loaded->images.front();
  for (const QImage& image : loaded->images) {
    if (image.width() == size && image.height() == size) return image;
    if (image.width() > largest->width()) largest = &image;
  }
  return largest->scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QIcon WindowIconOf(HICON bigIcon, HICON smallIcon) {
  QIcon result;
  if (QImage big = IconImageOf(bigIcon, kSystemIconSize); !big.isNull()) result.addPixmap(QPixmap::fromImage(big));
  if (QImage small = IconImageOf(smallIcon, kSmallIconSize); !small.isNull()) {
    result.addPixmap(QPixmap::fromImage(small));
  }
  return result;
}

}  // namespace morvek::qt

using morvek::qt::Icons;

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  auto name = reinterpret_cast<std::uintptr_t>(lpIconName);
  if (name == 0 || name > 0xFFFF) {  // only numbered resources exist
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  UINT id = static_cast<UINT>(name);
  auto cached = Icons().byResource.find(id);
  if (cached != Icons().byResource.end()) return cached->second;

  const IconResource* resource = FindIconResource(id);
  morvek::qt::LoadedIcon loaded;
  if (resource && resource->images) {
    for (std::size_t i = 0; i < resource->imageCount; ++i) {
      QImage image = morvek::qt::ImageOf(resource->images[i]);
      if (!image.isNull()) loaded.images.push_back(std::move(image));
    }
  }
  if (loaded.images.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  HICON icon = reinterpret_cast<HICON>(Icons().next);
  Icons().next += 4;
  Icons().icons.emplace(icon, std::move(loaded));
  Icons().byResource.emplace(id, icon);
  return icon;
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
  QPainter* painter = morvek::qt::PainterOf(hDC);
  QImage image = morvek::qt::IconImageOf(hIcon, morvek::qt::kSystemIconSize);
  if (!painter || image.isNull()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  painter->drawImage(QPoint(X, Y), image);
  return TRUE;
}
