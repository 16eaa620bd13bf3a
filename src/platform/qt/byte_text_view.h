// The view behind a read-only multi-line edit (the receive box): it holds the
// text as CP932 bytes and decodes, lays out and paints only the lines that are
// visible, so appending costs the same whether it holds 1 KB or 50 MB, however
// long its lines are. Lines are not wrapped (the edit scrolls both ways); a line
// ends at LF, CR LF or a lone CR. The font is taken as fixed-pitch: a single-byte
// character is one column, a double-byte character two.
#pragma once

#include <QAbstractScrollArea>
#include <memory>
#include <string>
#include <string_view>

namespace morvek::qt {

class ByteTextView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit ByteTextView(QWidget* parent = nullptr);
  ~ByteTextView() override;

  // Replaces the whole text.
  void setBytes(std::string_view bytes);
  // Appends to the text; cost proportional to the tail only.
  void appendBytes(std::string_view tail);

  std::string bytes() const;  // a copy of the whole text
  std::size_t size() const;
  std::size_t lineCount() const;

  // While the view is at the end, every change keeps the end in sight (the
  // last line, and horizontally the end of that line). Scrolled back, the view
  // stays where the user put it and only the scroll ranges grow; scrolled back
  // to the last line, it follows the end again. Replacing the text shows its
  // end. Repaints are coalesced: at most one every 50 ms while text keeps
  // arriving.

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> m;
};

}  // namespace morvek::qt
