// ByteTextView: the receive box's view. Text in, bytes out, the end in view.
#include "platform/qt/byte_text_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <chrono>
#include <memory>
#include <string>

#include "platform/testing.h"

namespace {

using morvek::qt::ByteTextView;
using namespace std::chrono_literals;

std::unique_ptr<ByteTextView> ShownView() {
  auto view = std::make_unique<ByteTextView>();
  view->resize(400, 300);
  view->show();
  return view;
}

// Waits for the coalesced refresh to scroll to the end.
bool ShowsEnd(ByteTextView& view) {
  return morvek::testing::PumpUntil(
      [&] {
        QScrollBar* v = view.verticalScrollBar();
        return v->value() == v->maximum() && v->maximum() == std::max(0, int(view.lineCount()) - v->pageStep());
      },
      30s);
}

int InkPixels(const QImage& image, QColor background) {
  int ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ink += image.pixelColor(x, y) != background;
  }
  return ink;
}

TEST(ByteTextView, AppendsOnlyMarkTheViewDirtyAndItThenFollowsTheEnd) {
  auto view = ShownView();
  ASSERT_TRUE(ShowsEnd(*view));
  QScrollBar* v = view->verticalScrollBar();
  QScrollBar* h = view->horizontalScrollBar();
  for (int i = 0; i < 500; ++i) view->appendBytes("line " + std::to_string(i) + "\r\n");
  EXPECT_EQ(v->maximum(), 0);  // nothing laid out until the refresh
  ASSERT_TRUE(ShowsEnd(*view));
  EXPECT_GT(v->maximum(), 400);
  EXPECT_EQ(h->value(), 0);  // the last line is empty

  // A long last line: horizontally its end is in view.
  view->appendBytes(std::string(5000, 'x'));
  ASSERT_TRUE(morvek::testing::PumpUntil([&] { return h->maximum() > 0 && h->value() == h->maximum(); }, 30s));
  const int columns = h->pageStep();
  EXPECT_EQ(h->value() + columns, 5001);  // one column beyond the last character

  // A short line after it: back to the left, though the range stays.
  view->appendBytes("\r\nend");
  ASSERT_TRUE(morvek::testing::PumpUntil([&] { return h->value() == 0 && v->value() == v->maximum(); }, 30s));
  EXPECT_GT(h->maximum(), 0);

  // Scrolled sideways away from the end of the last line, the view stays put.
  h->setValue(h->maximum());
  view->appendBytes("\r\nmore");
  ASSERT_TRUE(morvek::testing::PumpUntil([&] { return v->maximum() == int(view->lineCount()) - v->pageStep(); }, 30s));
  EXPECT_EQ(h->value(), h->maximum());
  EXPECT_LT(v->value(), v->maximum());
}

// At 50 MB: scrolled back, the view stays while the scroll range grows; back on
// the last line, it follows the end again.
TEST(ByteTextView, FollowsTheEndOnlyWhileTheViewIsThere) {
  auto view = ShownView();
  QScrollBar* v = view->verticalScrollBar();
  std::string block;
  while (block.size() + 64 <= 4096) block += std::string(62, char('a' + block.size() % 26)) + "\r\n";
  const std::size_t target = 50u << 20;
  while (view->size() < target) view->appendBytes(block);
  ASSERT_TRUE(ShowsEnd(*view));
  const std::size_t filled = view->size();
  const int linesPerBlock = int(block.size() / 64);

  const int held = v->maximum() / 2;
  v->setValue(held);
  for (int i = 0; i < 3; ++i) {
    const int grownTo = v->maximum() + linesPerBlock;
    view->appendBytes(block);
    ASSERT_TRUE(morvek::testing::PumpUntil([&] { return v->maximum() == grownTo; }, 30s));
    EXPECT_EQ(v->value(), held);
  }

  v->setValue(v->maximum());
  view->appendBytes(block);
  ASSERT_TRUE(ShowsEnd(*view));
  EXPECT_EQ(view->size(), filled + 4 * block.size());
}

TEST(ByteTextView, KeysScrollSelectAndCopy) {
  auto view = ShownView();
  std::string text = "送信";
  text += "\x80\r\n";
  for (int i = 0; i < 200; ++i) text += "row\r\n";
  view->setBytes(text);
  ASSERT_TRUE(ShowsEnd(*view));
  QScrollBar* v = view->verticalScrollBar();

  const auto press = [&](int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(view.get(), &event);
  };
  press(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(v->value(), 0);
  press(Qt::Key_PageDown, Qt::NoModifier);
  EXPECT_EQ(v->value(), v->pageStep());
  press(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(v->value(), v->maximum());

  // A drag over the first line, from its start to beyond its end. (Select
  // all and copy of a whole box: EditPaste.)
  press(Qt::Key_Home, Qt::ControlModifier);
  const auto mouse = [&](QEvent::Type type, QPoint at) {
    QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &event);
  };
  mouse(QEvent::MouseButtonPress, QPoint(0, 2));
  mouse(QEvent::MouseMove, QPoint(300, 2));
  mouse(QEvent::MouseButtonRelease, QPoint(300, 2));
  press(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdU16String(u"送信\uFFFD"));
  // The dragged part is shown highlighted.
  const QImage shown = view->viewport()->grab().toImage();
  const int area = shown.width() * shown.height();
  EXPECT_GT(area - InkPixels(shown, view->palette().color(QPalette::Highlight)), 0);
}

// Empty, a view paints nothing; with a 10 MB line it paints the line's end
// and its middle.
TEST(ByteTextView, PaintsTheEndOfATenMegabyteLine) {
  auto view = ShownView();
  const QColor base = view->palette().color(QPalette::Base);
  EXPECT_EQ(InkPixels(view->viewport()->grab().toImage(), base), 0);
  std::string line;
  while (line.size() < (10u << 20)) line += " 41 42 43 44";
  line += "送信";
  for (std::size_t at = 0; at < line.size(); at += 4096) view->appendBytes(std::string_view(line).substr(at, 4096));
  QScrollBar* h = view->horizontalScrollBar();
  ASSERT_TRUE(morvek::testing::PumpUntil([&] { return h->value() > 0 && h->value() == h->maximum(); }, 300s));
  EXPECT_EQ(view->lineCount(), 1u);

  EXPECT_GT(InkPixels(view->viewport()->grab().toImage(), base), 100);
  h->setValue(h->maximum() / 2 + 1);
  EXPECT_GT(InkPixels(view->viewport()->grab().toImage(), base), 100);
}

}  // namespace
