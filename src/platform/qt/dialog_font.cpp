#include "qt/dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <map>

#include "qt/qt_text.h"

namespace morvek::qt {
namespace {

struct FontMapping {
  const char16_t* windowsName;
  QStringList installed;  // in order of preference
};

const QStringList kCjkFallbacks = {"IPAGothic", "IPAPGothic", "IPAMincho", "Noto Sans CJK JP", "Noto Serif CJK JP",
                                   "IPAexGothic", "IPAexMincho", "Droid Sans Japanese", "VL Gothic"};

const FontMapping kMappings[] = {
    {u"ＭＳ 明朝", {"IPAMincho", "IPAexMincho", "Noto Serif CJK JP"}},
    {u"ＭＳ Ｐ明朝", {"IPAPMincho", "IPAexMincho", "Noto Serif CJK JP"}},
    {u"ＭＳ ゴシック", {"IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP"}},
    {u"ＭＳ Ｐゴシック", {"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP"}},
    {u"MS UI Gothic", {"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP"}},
};

QString FirstInstalled(const QStringList& candidates) {
  const QStringList families = QFontDatabase::families();
  for (const QString& family : candidates) {
    if (families.contains(family, Qt::CaseInsensitive)) return family;
  }
  return {};
}

QString InstalledFamilyFor(const QString& windowsName) {
  static std::map<QString, QString> resolved;
  auto cached = resolved.find(windowsName);
  if (cached != resolved.end()) return cached->second;
  QString family;
  for (const FontMapping& mapping : kMappings) {
    if (windowsName == QString::fromUtf16(mapping.windowsName)) family = FirstInstalled(mapping.installed);
  }
  if (family.isEmpty() && !windowsName.isEmpty()) family = FirstInstalled({windowsName});
  if (family.isEmpty()) family = FirstInstalled(kCjkFallbacks);
  resolved.emplace(windowsName, family);
  return family;
}

int LogicalDpi() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

QFont FontNamed(const QString& windowsName, int pointSize) {
  QFont font;
  QString family = InstalledFamilyFor(windowsName);
  if (!family.isEmpty()) font.setFamily(family);
  // A Windows font of n points is MulDiv(n, dpi, 72) pixels high (em size).
  font.setPixelSize(std::max(1, MulDiv(pointSize > 0 ? pointSize : 9, LogicalDpi(), 72)));
  return font;
}

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return 0;
  long long product = static_cast<long long>(a) * b;
  long long half = std::llabs(c) / 2;
  bool negative = (product < 0) != (c < 0);
  long long magnitude = (std::llabs(product) + half) / std::llabs(c);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

QFont DialogFont(const char* fontName, int pointSize) { return FontNamed(FromCp932(fontName ? fontName : ""), pointSize); }

QFont DefaultUiFont() { return FontNamed(QString::fromUtf16(u"ＭＳ Ｐゴシック"), 9); }

DialogUnits::DialogUnits(const QFont& font) {
  QFontMetrics metrics(font);
  int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  m_baseX = std::max(1, (width / 26 + 1) / 2);
  m_baseY = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int units) const { return MulDiv(units, m_baseX, 4); }

int DialogUnits::ToPixelsY(int units) const { return MulDiv(units, m_baseY, 8); }

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const {
  return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}

}  // namespace morvek::qt
