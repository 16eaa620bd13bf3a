// Pastes, drops and the edits' own keys and menu in the main window's boxes:
// whatever the clipboard holds, the window survives, and only text goes in,
// as typed text does.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QAbstractScrollArea>
#include <QTimer>
#include <QUrl>
#include <string>

#include "platform/qt/window_registry.h"
#include "platform/testing.h"
#include "res/resource.h"
#include "support/terminal_session.h"
#include "support/terminal_test.h"

namespace {

using morvek::test::ControlText;
using morvek::testing::kControl;
using morvek::testing::kShift;

constexpr UINT kVkInsert = 0x2D;

QWidget* WidgetOf(HWND control) {
  morvek::qt::WindowRecord* record = morvek::qt::FindWindowRecord(control);
  return record ? record->widget.data() : nullptr;
}

// Opens the control's own context menu and triggers its entry named `entry`
// (Qt's object names: "edit-paste", "edit-undo", ...) when it is enabled.
void UseContextMenu(QWidget* widget, const QString& entry) {
  QTimer::singleShot(0, [entry] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->objectName() == entry && action->isEnabled()) chosen = action;
    }
    menu->close();
    if (chosen) chosen->trigger();
  });
  QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(widget, &event);
}

// Drops the data where mouse input lands in the control: the viewport of a
// scrolling one.
void Drop(QWidget* widget, const QMimeData* data) {
  auto* area = qobject_cast<QAbstractScrollArea*>(widget);
  QWidget* target = area ? area->viewport() : widget;
  const QPoint at(5, 5);
  QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
}

class EditPaste : public morvek::test::TerminalTest {
 protected:
  void SetUp() override {
    TerminalTest::SetUp();
    setenv("MORVEK_COM1", "loopback", 1);
  }
  void TearDown() override {
    QGuiApplication::clipboard()->clear();
    TerminalTest::TearDown();
  }
};

// Fills a clipboard or a drop with one kind of content.
using Fill = void (*)(QMimeData&);

TEST_F(EditPaste, EveryClipboardPastesOnlyItsTextAndOnlyIntoTheSendBox) {
  const struct Clip {
    const char* name;
    Fill fill;           // null: nothing was ever copied
    std::string pasted;  // CP932, as the send box then holds it
  } clips[] = {
      {"nothing", nullptr, ""},
      {"no format", [](QMimeData&) {}, ""},  // what the X11 clipboard hands out when nobody owns it
      {"empty text", [](QMimeData& d) { d.setText(""); }, ""},
      {"image", [](QMimeData& d) { d.setImageData(QImage(4, 4, QImage::Format_RGB32)); }, ""},
      {"file list", [](QMimeData& d) { d.setUrls({QUrl::fromLocalFile("/tmp/a.txt")}); }, "file:///tmp/a.txt"},
      {"HTML only", [](QMimeData& d) { d.setHtml("<b>bold</b>"); }, ""},
      {"HTML with text", [](QMimeData& d) { d.setHtml("<b>bold</b>"), d.setText("bold"); }, "bold"},
      {"Japanese text", [](QMimeData& d) { d.setText(QString::fromUtf8(u8"送信ﾃｽﾄ")); }, "送信ﾃｽﾄ"},
      {"two lines", [](QMimeData& d) { d.setText("a\nb"); }, "a\r\nb"},
  };
  const struct Action {
    const char* name;
    void (*act)(HWND box, QWidget* widget, Fill fill);
  } actions[] = {
      {"Ctrl+V", [](HWND box, QWidget*, Fill) { morvek::testing::SendKey(box, 'V', kControl); }},
      {"Shift+Insert", [](HWND box, QWidget*, Fill) { morvek::testing::SendKey(box, kVkInsert, kShift); }},
      {"menu", [](HWND, QWidget* widget, Fill) { UseContextMenu(widget, "edit-paste"); }},
      {"drop", [](HWND, QWidget* widget, Fill fill) {
         QMimeData data;
         if (fill) fill(data);
         Drop(widget, &data);
       }},
  };
  Run([&](CTerminalDlg& dlg) {
    for (auto [id, editable] : {std::pair{IDC_SEND_BOX, true}, {IDC_RECEIVE_BOX, false}, {IDC_PORT_STATUS, false}}) {
      HWND box = dlg.GetDlgItem(id)->m_hWnd;
      QWidget* widget = WidgetOf(box);
      ASSERT_NE(widget, nullptr);
      for (const Clip& clip : clips) {
        for (const Action& action : actions) {
          if (editable) dlg.GetDlgItem(id)->SetWindowText("");
          const std::string before = ControlText(dlg, id);
          QGuiApplication::clipboard()->clear();
          if (clip.fill) {
            auto* data = new QMimeData;
            clip.fill(*data);
            QGuiApplication::clipboard()->setMimeData(data);
          }
          action.act(box, widget, clip.fill);
          morvek::testing::PumpOnce();
          EXPECT_EQ(ControlText(dlg, id), editable ? clip.pasted : before)
              << id << ", " << clip.name << ", " << action.name;
        }
      }
    }
  });
}

// The edits' own keys and menu entries in empty boxes, and a select-all and
// copy of 10 MB in the receive box pasted into the send box.
TEST_F(EditPaste, EditKeysAndMenusWorkOnEmptyAndHugeBoxes) {
  const struct {
    UINT key;
    unsigned modifiers;
  } keys[] = {{'Z', kControl}, {'Y', kControl}, {'Z', kControl | kShift}, {'A', kControl}, {'C', kControl},
              {'X', kControl}, {VK_DELETE, 0},  {VK_BACK, 0},               {kVkInsert, kControl}};
  const char* const entries[] = {"edit-undo", "edit-redo", "edit-cut", "edit-copy",
                                 "edit-paste", "edit-delete", "select-all"};
  Run([&](CTerminalDlg& dlg) {
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    for (int id : {IDC_SEND_BOX, IDC_RECEIVE_BOX, IDC_PORT_STATUS}) {
      dlg.GetDlgItem(id)->SetWindowText("");
      HWND hwnd = dlg.GetDlgItem(id)->m_hWnd;
      for (const auto& key : keys) {
        morvek::testing::SendKey(hwnd, key.key, key.modifiers);
        EXPECT_EQ(ControlText(dlg, id), "") << id << ", key " << key.key;
      }
      for (const char* entry : entries) {
        UseContextMenu(WidgetOf(hwnd), entry);
        morvek::testing::PumpOnce();
        EXPECT_EQ(ControlText(dlg, id), "") << id << ", " << entry;
      }
    }

    std::string huge;
    for (int line = 0; huge.size() < (10u << 20); ++line) huge += "line " + std::to_string(line) + " of the receive box\r\n";
    dlg.GetDlgItem(IDC_RECEIVE_BOX)->SetWindowText(CString(std::string_view(huge)));
    HWND receive = dlg.GetDlgItem(IDC_RECEIVE_BOX)->m_hWnd;
    morvek::testing::SendKey(receive, 'A', kControl);
    morvek::testing::SendKey(receive, 'C', kControl);
    dlg.GetDlgItem(IDC_SEND_BOX)->SetWindowText("");
    morvek::testing::SendKey(dlg.GetDlgItem(IDC_SEND_BOX)->m_hWnd, 'V', kControl);
    EXPECT_EQ(ControlText(dlg, IDC_SEND_BOX), huge);
  });
}

}  // namespace
