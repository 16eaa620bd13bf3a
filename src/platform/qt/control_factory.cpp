#include "qt/control_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>
#include <algorithm>
#include <limits>
#include <string_view>

#include "qt/byte_text_view.h"
#include "qt/control_text.h"
#include "qt/group_frame.h"
#include "qt/icons.h"
#include "qt/multi_line_edit.h"
#include "qt/window_registry.h"

namespace morvek::qt {
namespace {

constexpr int kSystemIconSize = 32;

bool IsClass(const char* className, std::string_view expected) {
  std::string_view name = className ? className : "";
  return name.size() == expected.size() && std::equal(name.begin(), name.end(), expected.begin(), [](char a, char b) {
           return (a >= 'a' && a <= 'z' ? a - 32 : a) == b;
         });
}

Qt::Alignment EditAlignment(DWORD style) {
  if (style & ES_CENTER) return Qt::AlignHCenter;
  if (style & ES_RIGHT) return Qt::AlignRight;
  return Qt::AlignLeft;
}

Qt::Alignment StaticAlignment(DWORD style) {
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: return Qt::AlignHCenter | Qt::AlignTop;
    case SS_RIGHT: return Qt::AlignRight | Qt::AlignTop;
    default: return Qt::AlignLeft | Qt::AlignTop;
  }
}

void SetScrollBars(QAbstractScrollArea* area, DWORD style) {
  area->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  area->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

// A read-only edit shows the dialog's background, as on Windows.
void ShowAsReadOnly(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  widget->setPalette(palette);
}

// A digits-only edit's check: ASCII digits, and full-width digits (as a
// Japanese input method gives them), which become ASCII digits.
class DigitsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar& c : input) {
      if (c >= QChar(0xFF10) && c <= QChar(0xFF19)) c = QChar(u'0' + (c.unicode() - 0xFF10));
      if (c < QChar(u'0') || c > QChar(u'9')) return Invalid;
    }
    return Acceptable;
  }
};

struct Created {
  QWidget* widget = nullptr;
  WindowKind kind = WindowKind::Label;
  HICON icon = nullptr;
};

Created CreateButton(QWidget* parent, DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX: return {new QCheckBox(parent), WindowKind::CheckBox};
    case BS_GROUPBOX: {
      auto* group = new GroupFrame(parent);
      // A group box only frames its neighbours: clicks go through to them.
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      return {group, WindowKind::GroupBox};
    }
    default: {
      auto* button = new QPushButton(parent);
      button->setAutoDefault(false);
      return {button, WindowKind::PushButton};
    }
  }
}

Created CreateEdit(QWidget* parent, DWORD style) {
  bool border = (style & WS_BORDER) != 0;
  bool readOnly = (style & ES_READONLY) != 0;
  if ((style & ES_MULTILINE) && readOnly) {
    auto* view = new ByteTextView(parent);
    if (!border) view->setFrameShape(QFrame::NoFrame);
    SetScrollBars(view, style);
    ShowAsReadOnly(view);
    return {view, WindowKind::TextView};
  }
  if (style & ES_MULTILINE) {
    auto* edit = new MultiLineEdit(parent);
    if (!border) edit->setFrameShape(QFrame::NoFrame);
    edit->setLineWrapMode((style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    edit->setTabChangesFocus(true);  // Tab moves on in a dialog, as in a Windows edit
    SetScrollBars(edit, style);
    return {edit, WindowKind::TextEdit};
  }
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(std::numeric_limits<int>::max());  // the program's texts have no limit
  edit->setFrame(border);
  // As a Windows edit, the line is drawn at the top, level with a caption
  // beside it, not centred in a taller box.
  edit->setAlignment(EditAlignment(style) | Qt::AlignTop);
  edit->setReadOnly(readOnly);
  if (readOnly) ShowAsReadOnly(edit);
  if (style & ES_NUMBER) {
    edit->setValidator(new DigitsValidator(edit));
    // Digits need no input method; with one on, what is typed still arrives
    // as digits through the validator.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhDigitsOnly);
  }
  return {edit, WindowKind::LineEdit};
}

Created CreateStatic(QWidget* parent, const DialogControlTemplate& source) {
  auto* label = new QLabel(parent);
  if ((source.style & SS_TYPEMASK) == SS_ICON) {
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCE(source.iconId));
    label->setPixmap(QPixmap::fromImage(IconImageOf(icon, kSystemIconSize)));
    return {label, WindowKind::IconLabel, icon};
  }
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(StaticAlignment(source.style));
  label->setWordWrap(true);
  if (source.style & SS_SUNKEN) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
  }
  return {label, WindowKind::Label};
}

Created CreateWidget(QWidget* parent, const DialogControlTemplate& source) {
  if (IsClass(source.className, "BUTTON")) return CreateButton(parent, source.style);
  if (IsClass(source.className, "EDIT")) return CreateEdit(parent, source.style);
  if (IsClass(source.className, "STATIC")) return CreateStatic(parent, source);
  if (IsClass(source.className, "COMBOBOX")) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    return {combo, WindowKind::ComboBox};
  }
  return {};
}

Qt::FocusPolicy FocusPolicyOf(WindowKind kind, DWORD style) {
  switch (kind) {
    case WindowKind::Label:
    case WindowKind::IconLabel:
    case WindowKind::GroupBox: return Qt::NoFocus;
    default: return (style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
  }
}

QRect PlaceOf(const Created& created, const DialogControlTemplate& source, const DialogUnits& units) {
  QRect place = units.ToPixels(source.x, source.y, source.cx, source.cy);
  switch (created.kind) {
    case WindowKind::IconLabel:  // an icon control takes the icon's size
      place.setSize(QSize(kSystemIconSize, kSystemIconSize));
      break;
    case WindowKind::ComboBox: {
      // The template's height is that of the open list; the closed box is one line.
      auto* combo = static_cast<QComboBox*>(created.widget);
      int boxHeight = std::min(place.height(), combo->sizeHint().height());
      int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
      combo->setMaxVisibleItems(std::max(1, (place.height() - boxHeight) / itemHeight));
      place.setHeight(boxHeight);
      break;
    }
    default: break;
  }
  return place;
}

void ConnectNotifications(const Created& created, HWND hwnd) {
  switch (created.kind) {
    case WindowKind::PushButton:
    case WindowKind::CheckBox:
      QObject::connect(static_cast<QAbstractButton*>(created.widget), &QAbstractButton::clicked, created.widget,
                       [hwnd] { NotifyParent(hwnd, BN_CLICKED); });
      break;
    case WindowKind::ComboBox:
      QObject::connect(static_cast<QComboBox*>(created.widget), &QComboBox::activated, created.widget,
                       [hwnd] { NotifyParent(hwnd, CBN_SELCHANGE); });
      break;
    case WindowKind::LineEdit:
      QObject::connect(static_cast<QLineEdit*>(created.widget), &QLineEdit::textEdited, created.widget, [hwnd] {
        WindowRecord* record = FindWindowRecord(hwnd);
        if (!record || record->text.updating) return;
        NoteUserEdit(*record);
        NotifyParent(hwnd, EN_CHANGE);
      });
      break;
    case WindowKind::TextEdit:
      QObject::connect(static_cast<QPlainTextEdit*>(created.widget), &QPlainTextEdit::textChanged, created.widget,
                       [hwnd] {
                         WindowRecord* record = FindWindowRecord(hwnd);
                         if (!record || record->text.updating) return;
                         NoteUserEdit(*record);
                         NotifyParent(hwnd, EN_CHANGE);
                       });
      break;
    default: break;
  }
}

}  // namespace

void NotifyParent(HWND control, WORD code) {
  WindowRecord* record = FindWindowRecord(control);
  if (!record || !record->parent) return;
  SendMessageA(record->parent, WM_COMMAND, MAKEWPARAM(record->id, code), reinterpret_cast<LPARAM>(control));
}

HWND CreateControl(HWND dialog, QWidget* dialogWidget, const DialogControlTemplate& source, const DialogUnits& units) {
  WindowRecord* dialogRecord = FindWindowRecord(dialog);
  if (!dialogRecord) return nullptr;
  Created created = CreateWidget(dialogWidget, source);
  if (!created.widget) return nullptr;

  created.widget->setGeometry(PlaceOf(created, source, units));
  created.widget->setFocusPolicy(FocusPolicyOf(created.kind, source.style));
  created.widget->setEnabled((source.style & WS_DISABLED) == 0);
  created.widget->setVisible((source.style & WS_VISIBLE) != 0);
  if (created.kind == WindowKind::GroupBox) created.widget->lower();

  WindowRecord& record = RegisterWindow(created.kind, created.widget, dialog, source.id, source.style);
  record.icon = created.icon;
  dialogRecord->children.push_back(record.hwnd);
  SetWindowBytes(record, source.text ? source.text : "", nullptr);
  ConnectNotifications(created, record.hwnd);
  return record.hwnd;
}

}  // namespace morvek::qt
