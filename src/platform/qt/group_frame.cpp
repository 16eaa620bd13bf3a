#include "qt/group_frame.h"

#include <QPainter>
#include <algorithm>

namespace morvek::qt {

QRect GroupFrame::CaptionRoom() const {
  const QFontMetrics metrics = fontMetrics();
  const int indent = metrics.averageCharWidth();
  return QRect(indent, 0, std::max(0, width() - 2 * indent), metrics.height());
}

void GroupFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(frame);
  if (title().isEmpty()) return;
  // The edge is broken behind the caption, which keeps a blank on each side.
  const int blank = metrics.horizontalAdvance(QLatin1Char(' ')) / 2;
  const QRect room = CaptionRoom();
  const QRect caption(room.left() - blank, 0, std::min(room.width(), metrics.horizontalAdvance(title())) + 2 * blank,
                      metrics.height());
  painter.fillRect(caption, palette().window());
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title());
}

}  // namespace morvek::qt
