// CP932 bytes <-> QString at the widget boundary (lossless for any bytes, see
// text/cp932.h), and the access-key marks of control texts.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace morvek::qt {

QString FromCp932(std::string_view bytes);
std::string ToCp932(const QString& text);

// A static text without SS_NOPREFIX shows "&x" as an underlined x and "&&" as
// "&"; the label shows the text with those marks taken out.
QString WithoutAccessMarks(const QString& text);

}  // namespace morvek::qt
