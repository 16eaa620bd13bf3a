#include "qt/text_room.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include "qt/group_frame.h"

namespace morvek::qt {
namespace {

// The narrowest stretch a font is given, and the step by which it narrows.
constexpr int kNarrowestStretch = 50;
constexpr int kStretchStep = 5;

QRect ButtonRoom(const QAbstractButton& button, QStyle::SubElement contents) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  return button.style()->subElementRect(contents, &option, &button);
}

QRect ComboFieldRoom(const QComboBox& combo) {
  QStyleOptionComboBox option;
  option.initFrom(&combo);
  return combo.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
}

QRect LineEditRoom(const QLineEdit& edit) {
  // Inside its frame a line edit keeps 2 px on each side, as QLineEdit lays it out.
  const QMargins margins = edit.textMargins();
  const int frame = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit) : 0;
  return edit.rect().adjusted(frame + margins.left() + 2, frame + margins.top(), -(frame + margins.right() + 2),
                              -(frame + margins.bottom()));
}

bool TextsFit(const WindowRecord& record) {
  const QRect room = TextRoom(record);
  for (const QString& text : RoomTexts(record)) {
    const QSize needed = TextNeeds(record, text);
    if (needed.width() > room.width() || needed.height() > room.height()) return false;
  }
  return true;
}

}  // namespace

QRect TextRoom(const WindowRecord& record) {
  QWidget* widget = record.widget.data();
  if (!widget) return {};
  switch (record.kind) {
    case WindowKind::Label: {
      auto* label = static_cast<QLabel*>(widget);
      const int margin = label->margin();
      return label->contentsRect().adjusted(margin, margin, -margin, -margin);
    }
    case WindowKind::PushButton: return ButtonRoom(*static_cast<QAbstractButton*>(widget), QStyle::SE_PushButtonContents);
    case WindowKind::CheckBox: return ButtonRoom(*static_cast<QAbstractButton*>(widget), QStyle::SE_CheckBoxContents);
    case WindowKind::GroupBox: return static_cast<GroupFrame*>(widget)->CaptionRoom();
    case WindowKind::ComboBox: return ComboFieldRoom(*static_cast<QComboBox*>(widget));
    case WindowKind::LineEdit: return LineEditRoom(*static_cast<QLineEdit*>(widget));
    default: return {};
  }
}

QStringList RoomTexts(const WindowRecord& record) {
  QWidget* widget = record.widget.data();
  if (!widget) return {};
  switch (record.kind) {
    case WindowKind::Label: return {static_cast<QLabel*>(widget)->text()};
    case WindowKind::PushButton:
    case WindowKind::CheckBox: return {static_cast<QAbstractButton*>(widget)->text()};
    case WindowKind::GroupBox: return {static_cast<QGroupBox*>(widget)->title()};
    case WindowKind::LineEdit: return {static_cast<QLineEdit*>(widget)->text()};
    case WindowKind::ComboBox: {
      auto* combo = static_cast<QComboBox*>(widget);
      QStringList entries;
      for (int i = 0; i < combo->count(); ++i) entries.push_back(combo->itemText(i));
      return entries;
    }
    default: return {};
  }
}

QSize TextNeeds(const WindowRecord& record, const QString& text) {
  QWidget* widget = record.widget.data();
  if (!widget) return {};
  const QFontMetrics metrics = widget->fontMetrics();
  if (record.kind == WindowKind::Label) {
    auto* label = static_cast<QLabel*>(widget);
    const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return metrics.boundingRect(TextRoom(record), flags, text).size();
  }
  return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void FitFontToTexts(WindowRecord& record) {
  switch (record.kind) {
    case WindowKind::Label:
    case WindowKind::PushButton:
    case WindowKind::CheckBox:
    case WindowKind::GroupBox:
    case WindowKind::ComboBox: break;
    default: return;
  }
  QWidget* widget = record.widget.data();
  if (!widget) return;
  widget->setFont(QFont());  // the dialog's font, as it was made
  QFont narrowed = widget->font();
  for (int stretch = 100 - kStretchStep; !TextsFit(record) && stretch >= kNarrowestStretch; stretch -= kStretchStep) {
    narrowed.setStretch(stretch);
    widget->setFont(narrowed);
  }
}

}  // namespace morvek::qt
