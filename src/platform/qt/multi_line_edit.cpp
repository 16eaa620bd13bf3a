#include "qt/multi_line_edit.h"

#include <QMimeData>

namespace morvek::qt {
namespace {

// The plain text that mime data carries; empty when it carries none (no data,
// no format, only an image, a file list or HTML).
QString PlainTextOf(const QMimeData* source) {
  return source && source->hasText() ? source->text() : QString();
}

}  // namespace

bool MultiLineEdit::canInsertFromMimeData(const QMimeData* source) const {
  return !isReadOnly() && !PlainTextOf(source).isEmpty();
}

void MultiLineEdit::insertFromMimeData(const QMimeData* source) {
  const QString text = PlainTextOf(source);
  if (isReadOnly() || text.isEmpty()) return;
  // Handed on with the text alone, so that Qt never looks at the other formats.
  QMimeData plain;
  plain.setText(text);
  QPlainTextEdit::insertFromMimeData(&plain);
}

}  // namespace morvek::qt
