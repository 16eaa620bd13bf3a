#include "qt/byte_text_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <climits>
#include <utility>

#include "qt/byte_text_chars.h"
#include "qt/byte_text_lines.h"
#include "qt/byte_text_runs.h"
#include "qt/byte_text_store.h"
#include "text/cp932.h"

namespace morvek::qt {
namespace {

constexpr int kRefreshIntervalMs = 50;

// Scroll bars count in lines and columns; their range is an int.
int ToScrollValue(std::size_t value) { return static_cast<int>(std::min<std::size_t>(value, INT_MAX)); }
std::size_t SaturatingMinus(std::size_t a, std::size_t b) { return a > b ? a - b : 0; }

struct Metrics {
  qreal column;  // pixels per column (fractional: glyph advances are)
  int line;      // pixels per line
  int ascent;
};

}  // namespace

// The view's state. It also filters the view's keys and the viewport's mouse
// events (selection, copy, keyboard scrolling).
struct ByteTextView::Impl final : QObject {
  explicit Impl(ByteTextView* owner) : view(owner) {
    refresh.setSingleShot(true);
    refresh.setInterval(kRefreshIntervalMs);
    QObject::connect(&refresh, &QTimer::timeout, view, [this] { Refresh(); });
  }

  ByteTextView* view;
  ByteTextStore store;
  ByteTextLines lines;
  QTimer refresh;          // coalesces the repaints of a stream of changes
  bool following = true;   // the view keeps the end in sight as text arrives and on resizes
  bool adjusting = false;  // the scroll bars are being set by the view itself
  bool selecting = false;  // the left button is down over the text
  std::size_t anchor = 0;  // selection, as byte offsets: where it began
  std::size_t caret = 0;   // and where it ends now

  Metrics FontMetrics() const {
    const QFontMetricsF fm(view->font());
    return {std::max<qreal>(1, fm.horizontalAdvance(QLatin1Char('0'))), std::max(1, qCeil(fm.lineSpacing())),
            qRound(fm.ascent())};
  }
  std::size_t VisibleRows() const {
    return static_cast<std::size_t>(std::max(1, view->viewport()->height() / FontMetrics().line));
  }
  std::size_t VisibleColumns() const {
    return static_cast<std::size_t>(std::max<qreal>(1, view->viewport()->width() / FontMetrics().column));
  }
  // The first column shown when the end of the last line is in view (one
  // column beyond its last character, where a caret would stand).
  int EndColumn() const { return ToScrollValue(SaturatingMinus(lines.LastLineWidth() + 1, VisibleColumns())); }
  std::pair<std::size_t, std::size_t> Selection() const { return std::minmax(anchor, caret); }

  void Changed() {
    if (!refresh.isActive()) refresh.start();
  }

  void Reset() {
    store.Clear();
    lines.Clear();
    anchor = caret = 0;
    following = true;
  }

  // Sets the scroll ranges for the text and the viewport's size; with toEnd,
  // scrolls to the last line and horizontally to the end of that line.
  void LayOutScrollBars(bool toEnd) {
    const std::size_t rows = VisibleRows();
    const std::size_t columns = VisibleColumns();
    QScrollBar* vertical = view->verticalScrollBar();
    QScrollBar* horizontal = view->horizontalScrollBar();
    adjusting = true;
    vertical->setRange(0, ToScrollValue(SaturatingMinus(lines.Count(), rows)));
    vertical->setPageStep(ToScrollValue(rows));
    horizontal->setRange(0, ToScrollValue(SaturatingMinus(lines.MaxWidth() + 1, columns)));
    horizontal->setPageStep(ToScrollValue(columns));
    if (toEnd) {
      vertical->setValue(vertical->maximum());
      horizontal->setValue(EndColumn());
    }
    adjusting = false;
  }

  void ShowEnd() {
    following = true;
    LayOutScrollBars(true);
    view->viewport()->update();
  }

  // Shows a stream of changes: the scroll ranges grow with the text, and the
  // view moves to the end only while it follows it.
  void Refresh() {
    LayOutScrollBars(following);
    view->viewport()->update();
  }

  // After the user scrolled: the view follows the end again once it is back on
  // the last line, unless the user moved it sideways away from where the end
  // of that line shows.
  void NoteUserScroll(bool sideways) {
    QScrollBar* vertical = view->verticalScrollBar();
    following = vertical->value() == vertical->maximum();
    if (sideways && following) {
      following = view->horizontalScrollBar()->value() == EndColumn();
    }
  }

  // The character start nearest to a point of the viewport.
  std::size_t OffsetAt(QPoint point) const {
    const Metrics metrics = FontMetrics();
    const long long row = view->verticalScrollBar()->value() + point.y() / metrics.line - (point.y() < 0 ? 1 : 0);
    const std::size_t line =
        static_cast<std::size_t>(std::clamp<long long>(row, 0, static_cast<long long>(lines.Count()) - 1));
    const long long column = view->horizontalScrollBar()->value() + qFloor(point.x() / metrics.column + 0.5);
    const std::size_t start = lines.Start(line);
    const std::size_t offset =
        std::min(lines.ContentEnd(line, store), start + static_cast<std::size_t>(std::max(0LL, column)));
    const std::size_t known = lines.KnownCharStartBefore(line, offset);
    return known + CharStartAtOrBefore(store.Copy(known, offset + 1), 0, offset - known);
  }

  void CopySelection() const {
    const auto [begin, end] = Selection();
    if (begin == end) return;
    QGuiApplication::clipboard()->setText(ToClipboardText(text::DecodeCp932(store.Copy(begin, end))));
  }

  bool OnKey(QKeyEvent* key) {
    QScrollBar* vertical = view->verticalScrollBar();
    QScrollBar* horizontal = view->horizontalScrollBar();
    if (key->matches(QKeySequence::Copy)) {
      CopySelection();
    } else if (key->matches(QKeySequence::SelectAll)) {
      anchor = 0;
      caret = store.Size();
      view->viewport()->update();
    } else if (key->matches(QKeySequence::MoveToStartOfDocument)) {
      vertical->setValue(0);
      horizontal->setValue(0);
    } else if (key->matches(QKeySequence::MoveToEndOfDocument)) {
      ShowEnd();
    } else if (key->matches(QKeySequence::MoveToStartOfLine)) {
      horizontal->setValue(0);
    } else if (key->matches(QKeySequence::MoveToEndOfLine)) {
      horizontal->setValue(horizontal->maximum());
    } else {
      return false;  // arrows and pages: the scroll area's own handling
    }
    return true;
  }

  bool OnMouse(QEvent::Type type, QMouseEvent* mouse) {
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
      anchor = caret = OffsetAt(mouse->position().toPoint());
      selecting = true;
    } else if (type == QEvent::MouseMove && selecting) {
      caret = OffsetAt(mouse->position().toPoint());
    } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
      selecting = false;
      return true;
    } else {
      return false;
    }
    view->viewport()->update();
    return true;
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == view && event->type() == QEvent::KeyPress) return OnKey(static_cast<QKeyEvent*>(event));
    if (watched == view && event->type() == QEvent::FontChange) LayOutScrollBars(following);
    if (watched == view->viewport()) {
      const QEvent::Type type = event->type();
      if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) {
        return OnMouse(type, static_cast<QMouseEvent*>(event));
      }
    }
    return false;
  }

  void PaintLine(QPainter& painter, const Metrics& metrics, std::size_t line, int y) const {
    const std::size_t firstColumn = static_cast<std::size_t>(view->horizontalScrollBar()->value());
    const std::size_t start = lines.Start(line);
    const std::size_t end = lines.ContentEnd(line, store);
    const std::size_t from = std::min(end, start + firstColumn);
    const std::size_t to = std::min(
        end, from + static_cast<std::size_t>(std::max<qreal>(0, view->viewport()->width() / metrics.column)) + 2);
    // Begin at a character start: a double-byte character may straddle the left edge.
    const std::size_t known = lines.KnownCharStartBefore(line, from);
    const std::string bytes = store.Copy(known, to);
    const std::size_t sliceStart = CharStartAtOrBefore(bytes, 0, from - known);
    const std::vector<ByteTextRun> runs = LayOutRuns(std::string_view(bytes).substr(sliceStart));

    const long long sliceColumn =
        static_cast<long long>(known + sliceStart - start) - static_cast<long long>(firstColumn);
    // x of a column of the slice, kept within a little beyond the viewport.
    const qreal right = view->viewport()->width() + metrics.column;
    const auto xOfColumn = [&](long long column) {
      return std::clamp(static_cast<qreal>(sliceColumn + column) * metrics.column, -2 * metrics.column, right);
    };
    const auto drawRuns = [&] {
      for (const ByteTextRun& run : runs) {
        painter.drawText(QPointF(xOfColumn(static_cast<long long>(run.column)), y + metrics.ascent), run.text);
      }
    };
    painter.setPen(view->palette().color(QPalette::Text));
    drawRuns();

    // The selected part of the line, its line end included as one column.
    const auto [selectionBegin, selectionEnd] = Selection();
    const std::size_t lineEnd = line + 1 < lines.Count() ? lines.Start(line + 1) : end;
    const std::size_t begin = std::max(selectionBegin, start);
    const std::size_t stop = std::min(selectionEnd, lineEnd);
    if (begin >= stop) return;
    const std::size_t selectedColumns = std::min(stop, end) - begin + (stop > end ? 1 : 0);
    const long long firstSelected = static_cast<long long>(begin) - static_cast<long long>(known + sliceStart);
    const qreal left = xOfColumn(firstSelected);
    const QRectF area(left, y, xOfColumn(firstSelected + static_cast<long long>(selectedColumns)) - left, metrics.line);
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, view->palette().color(QPalette::Highlight));
    painter.setPen(view->palette().color(QPalette::HighlightedText));
    drawRuns();
    painter.restore();
  }
};

ByteTextView::ByteTextView(QWidget* parent) : QAbstractScrollArea(parent), m(std::make_unique<Impl>(this)) {
  // Both scroll bars always, as a multi-line edit with both scroll styles has them.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setCursor(Qt::IBeamCursor);
  installEventFilter(m.get());
  viewport()->installEventFilter(m.get());
}

ByteTextView::~ByteTextView() = default;

void ByteTextView::setBytes(std::string_view bytes) {
  m->Reset();
  appendBytes(bytes);
}

void ByteTextView::appendBytes(std::string_view tail) {
  m->store.Append(tail);
  m->lines.Append(tail);
  m->Changed();
}

std::string ByteTextView::bytes() const { return m->store.Copy(0, m->store.Size()); }

std::size_t ByteTextView::size() const { return m->store.Size(); }

std::size_t ByteTextView::lineCount() const { return m->lines.Count(); }

void ByteTextView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setFont(font());
  const Metrics metrics = m->FontMetrics();
  const std::size_t firstLine = static_cast<std::size_t>(verticalScrollBar()->value());
  const std::size_t rows = static_cast<std::size_t>(viewport()->height() / metrics.line) + 1;
  const std::size_t lastLine = std::min(m->lines.Count(), firstLine + rows);
  for (std::size_t line = firstLine; line < lastLine; ++line) {
    m->PaintLine(painter, metrics, line, static_cast<int>(line - firstLine) * metrics.line);
  }
}

void ByteTextView::resizeEvent(QResizeEvent* event) {
  // Also called when the viewport alone changes size.
  QAbstractScrollArea::resizeEvent(event);
  m->LayOutScrollBars(m->following);
}

void ByteTextView::scrollContentsBy(int dx, int dy) {
  if (!m->adjusting) m->NoteUserScroll(dx != 0);
  viewport()->update();
}

}  // namespace morvek::qt
