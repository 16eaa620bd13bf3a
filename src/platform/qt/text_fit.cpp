// The window-layer test helper that checks that every control shows its texts
// whole: the room each text needs, as the control lays it out, against the
// room the control gives it.
#include "qt/qt_text.h"
#include "qt/text_room.h"
#include "qt/window_registry.h"
#include "testing.h"

namespace morvek::testing {

std::vector<std::string> ClippedTexts(HWND dialog) {
  std::vector<std::string> clipped;
  qt::WindowRecord* record = qt::FindWindowRecord(dialog);
  if (!record) return clipped;
  for (HWND control : record->children) {
    qt::WindowRecord* child = qt::FindWindowRecord(control);
    if (!child) continue;
    const QRect room = qt::TextRoom(*child);
    for (const QString& text : qt::RoomTexts(*child)) {
      const QSize needed = qt::TextNeeds(*child, text);
      if (needed.width() <= room.width() && needed.height() <= room.height()) continue;
      clipped.push_back("control " + std::to_string(child->id) + ": " + qt::ToCp932(text) + " needs " +
                        std::to_string(needed.width()) + "x" + std::to_string(needed.height()) + " px, has " +
                        std::to_string(room.width()) + "x" + std::to_string(room.height()));
    }
  }
  return clipped;
}

}  // namespace morvek::testing
