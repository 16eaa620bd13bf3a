#include "qt/qt_text.h"

#include "text/cp932.h"

namespace morvek::qt {

QString FromCp932(std::string_view bytes) {
  std::u16string decoded = text::DecodeCp932(bytes);
  // Copied unit for unit: the substitutes of invalid bytes are lone surrogates,
  // which QString keeps.
  return QString(reinterpret_cast<const QChar*>(decoded.data()), static_cast<qsizetype>(decoded.size()));
}

std::string ToCp932(const QString& text) {
  return text::EncodeCp932(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

QString WithoutAccessMarks(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    shown.append(text[i]);
  }
  return shown;
}

}  // namespace morvek::qt
