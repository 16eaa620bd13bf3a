// The editable multi-line edit. Qt 6.4's plain text edit
// crashes when it pastes mime data that carries no format at all, which is what
// the X11 clipboard hands out when nothing was ever copied. Every paste (keys,
// context menu, middle click) and every drop goes through this widget's own
// mime-data hooks, which take nothing but plain text: mime data without text
// pastes nothing, and text goes in as the edit would paste it.
#pragma once

#include <QPlainTextEdit>

namespace morvek::qt {

class MultiLineEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace morvek::qt
