#include "qt/dialog_builder.h"

#include "afx/window_backend.h"
#include "qt/control_factory.h"
#include "qt/control_text.h"
#include "qt/dialog_font.h"
#include "qt/dialog_state.h"
#include "qt/dialog_widget.h"
#include "qt/window_registry.h"

namespace morvek::qt {

DialogWidget* BuildDialog(const DialogTemplate& source, HWND owner, CDialog* wrapper) {
  WindowRecord* ownerRecord = FindWindowRecord(owner);
  QWidget* ownerWidget = ownerRecord ? ownerRecord->widget.data() : nullptr;
  auto* widget = new DialogWidget(ownerWidget, source.style);
  QFont font = DialogFont(source.fontName, source.pointSize);
  widget->setFont(font);
  DialogUnits units(font);
  widget->SetNormalClientSize(QSize(units.ToPixelsX(source.cx), units.ToPixelsY(source.cy)));

  WindowRecord& record = RegisterWindow(WindowKind::Dialog, widget, ownerRecord ? owner : nullptr, 0, source.style);
  record.dialog = std::make_unique<DialogState>(source);
  HWND hwnd = record.hwnd;
  widget->SetHandle(hwnd);
  framework::AttachWrapper(hwnd, wrapper);
  SetWindowBytes(record, source.caption ? source.caption : "", nullptr);

  // As on Windows, the window's first size notification comes before its
  // controls exist.
  widget->SendCreationSize();
  for (std::size_t i = 0; i < source.controlCount && source.controls && IsLiveWindow(hwnd); ++i) {
    CreateControl(hwnd, widget, source.controls[i], units);
  }
  return widget;
}

}  // namespace morvek::qt
