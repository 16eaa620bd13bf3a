// Resources as data: dialog templates, strings and icons. The program's res/
// library defines the Find* functions; the framework looks resources up through
// them.
#pragma once

#include <cstddef>

#include "win32_types.h"

// One control of a dialog template. className is "BUTTON", "EDIT", "STATIC" or
// "COMBOBOX"; a static icon carries the icon's resource id in iconId.
struct DialogControlTemplate {
  int id;  // -1 for controls without an id
  const char* className;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
  const char* text;    // CP932
  UINT iconId;
};

struct DialogTemplate {
  UINT id;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
  const char* caption;  // CP932
  const char* fontName;  // CP932
  WORD pointSize;
  WORD language;
  const DialogControlTemplate* controls;
  std::size_t controlCount;
};

// The 16 colours of icon images, as 0xRRGGBB, in the VGA order: black, blue,
// green, cyan, red, magenta, brown, light gray, dark gray, light blue, light
// green, light cyan, light red, light magenta, yellow, white.
inline constexpr DWORD kIconPalette[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

// A 16-colour image: one palette index (0..15, kIconPalette) a pixel, rows top
// to bottom.
struct IconImage {
  int width;
  int height;
  const BYTE* pixels;
  const BYTE* mask;  // 1 = transparent, one byte a pixel; null: opaque
};

struct IconResource {
  UINT id;
  const IconImage* images;
  std::size_t imageCount;
};

const DialogTemplate* FindDialogTemplate(UINT id);
const char* FindStringResource(UINT id);
const IconResource* FindIconResource(UINT id);
