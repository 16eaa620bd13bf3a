// The window-layer test helpers that look at windows: shown texts, rewrites,
// menus, the cursor and the painted image.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QScreen>

#include "qt/control_text.h"
#include "qt/qt_text.h"
#include "qt/window_registry.h"
#include "testing.h"

namespace morvek::qt {
namespace {

QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// A minimised window shows only its own painting (the icon), not its controls.
QPixmap Painted(QWidget* widget) {
  if (!widget->isMinimized()) return widget->grab();
  QPixmap pixmap(widget->size());
  widget->render(&pixmap, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  return pixmap;
}

}  // namespace
}  // namespace morvek::qt

namespace morvek::testing {

std::string ShownText(HWND window) {
  qt::WindowRecord* record = qt::FindWindowRecord(window);
  if (!record) return {};
  QString shown = qt::ShownText(*record);
  if (record->kind == qt::WindowKind::TextEdit) shown.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  return qt::ToCp932(shown);
}

int FullTextRewrites(HWND window) {
  qt::WindowRecord* record = qt::FindWindowRecord(window);
  return record ? record->text.fullRewrites : 0;
}

std::vector<HWND> Controls(HWND dialog) {
  qt::WindowRecord* record = qt::FindWindowRecord(dialog);
  return record ? record->children : std::vector<HWND>();
}

std::vector<std::string> OpenMenuEntries() {
  std::vector<std::string> entries;
  if (QMenu* menu = qt::OpenMenu()) {
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) entries.push_back(qt::ToCp932(action->text()));
    }
  }
  return entries;
}

bool ChooseMenuEntry(const std::string& cp932Text) {
  QMenu* menu = qt::OpenMenu();
  if (!menu) return false;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator() || !action->isEnabled() || qt::ToCp932(action->text()) != cp932Text) continue;
    menu->close();
    action->trigger();
    return true;
  }
  return false;
}

bool WaitCursorShown() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor && cursor->shape() == Qt::WaitCursor;
}

namespace {

WindowImage ImageOf(const QPixmap& pixmap) {
  QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
  WindowImage result;
  result.width = image.width();
  result.height = image.height();
  result.pixels.reserve(static_cast<std::size_t>(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) result.pixels.push_back(image.pixel(x, y) & 0xFFFFFFu);
  }
  return result;
}

}  // namespace

WindowImage RenderWindow(HWND window) {
  qt::WindowRecord* record = qt::FindWindowRecord(window);
  if (!record || !record->widget) return {};
  return ImageOf(qt::Painted(record->widget));
}

WindowImage ScreenImage(HWND window) {
  qt::WindowRecord* record = qt::FindWindowRecord(window);
  if (!record || !record->widget || !record->widget->screen()) return {};
  QWidget* widget = record->widget;
  QWidget* topLevel = widget->window();
  const QPoint at = widget->mapTo(topLevel, QPoint(0, 0));
  return ImageOf(widget->screen()->grabWindow(topLevel->winId(), at.x(), at.y(), widget->width(), widget->height()));
}

bool SaveWindowImage(HWND window, const std::string& pngPath) {
  qt::WindowRecord* record = qt::FindWindowRecord(window);
  if (!record || !record->widget) return false;
  return qt::Painted(record->widget).save(QString::fromLocal8Bit(pngPath.c_str()), "PNG");
}

std::string FrameworkText(const char* context, const char* source) {
  return qt::ToCp932(QCoreApplication::translate(context, source));
}

}  // namespace morvek::testing
