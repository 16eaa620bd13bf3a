// A dialog template's font and its dialog units, as Windows computes them.
#pragma once

#include <QFont>
#include <QRect>

#include "resources.h"

namespace morvek::qt {

// The installed font that stands for a template's font name (CP932): the
// Japanese "ＭＳ 明朝" family maps to IPAMincho, "ＭＳ Ｐゴシック" to IPAPGothic
// and so on, falling back to any installed CJK font. The size is the point
// size given, in whole pixels at the screen's resolution.
QFont DialogFont(const char* fontName, int pointSize);

// The font message boxes and other framework windows use.
QFont DefaultUiFont();

// Dialog units of a font: a horizontal unit is a quarter of the font's average
// character width (over "A".."Z", "a".."z", rounded as Windows rounds it), a
// vertical unit an eighth of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  QRect ToPixels(int x, int y, int cx, int cy) const;

 private:
  int m_baseX;
  int m_baseY;
};

// a * b / c rounded half away from zero, as Windows' MulDiv (0 for c = 0).
int MulDiv(int a, int b, int c);

}  // namespace morvek::qt
