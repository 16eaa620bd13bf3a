#include <QComboBox>
#include <QVariant>
#include <algorithm>
#include <cstring>

#include "qt/combo_box.h"
#include "qt/qt_text.h"
#include "qt/text_room.h"

namespace morvek::qt {
namespace {

constexpr int kBytesRole = Qt::UserRole;

QComboBox* ComboOf(const WindowRecord& record) { return static_cast<QComboBox*>(record.widget.data()); }

std::string EntryBytes(const QComboBox* combo, int index) {
  QByteArray bytes = combo->itemData(index, kBytesRole).toByteArray();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Compares as the list does: ASCII letters without regard to case, other bytes as they are.
int CompareNoCase(std::string_view a, std::string_view b) {
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    int difference = Fold(static_cast<unsigned char>(a[i])) - Fold(static_cast<unsigned char>(b[i]));
    if (difference != 0) return difference;
  }
  return static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

// Inserts an entry; a new entry never selects itself (QComboBox would select
// the first entry of an empty list).
int InsertEntry(WindowRecord& record, QComboBox* combo, int index, std::string_view bytes) {
  int selected = combo->currentIndex();
  combo->insertItem(index, FromCp932(bytes), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (selected < 0) combo->setCurrentIndex(-1);
  FitFontToTexts(record);
  return index;
}

// The first entry after startAfter, wrapping round, that begins with the text.
int FindEntry(const QComboBox* combo, WPARAM startAfter, std::string_view prefix) {
  int count = combo->count();
  int start = static_cast<int>(static_cast<LONG_PTR>(startAfter));
  if (start < -1 || start >= count) start = -1;
  for (int step = 1; step <= count; ++step) {
    int index = (start + step) % count;
    if (StartsWithNoCase(EntryBytes(combo, index), prefix)) return index;
  }
  return CB_ERR;
}

std::string_view TextOf(LPARAM lParam) {
  const char* text = reinterpret_cast<const char*>(lParam);
  return text ? std::string_view(text) : std::string_view();
}

bool ValidIndex(const QComboBox* combo, WPARAM index) {
  return static_cast<LONG_PTR>(index) >= 0 && static_cast<LONG_PTR>(index) < combo->count();
}

}  // namespace

std::string ComboSelectionBytes(const WindowRecord& record) {
  QComboBox* combo = ComboOf(record);
  if (!combo || combo->currentIndex() < 0) return {};
  return EntryBytes(combo, combo->currentIndex());
}

void SelectComboText(WindowRecord& record, std::string_view bytes) {
  QComboBox* combo = ComboOf(record);
  if (!combo) return;
  for (int i = 0; i < combo->count(); ++i) {
    if (EntryBytes(combo, i) == bytes) {
      combo->setCurrentIndex(i);
      return;
    }
  }
}

LRESULT ComboBoxProc(WindowRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  QComboBox* combo = ComboOf(record);
  if (!combo) return CB_ERR;
  switch (message) {
    case CB_INSERTSTRING: {
      // An explicit position is never sorted (CBS_SORT applies to no call
      // here); -1 is the end.
      LONG_PTR index = static_cast<LONG_PTR>(wParam);
      if (index == -1) index = combo->count();
      if (index < 0 || index > combo->count()) return CB_ERR;
      return InsertEntry(record, combo, static_cast<int>(index), TextOf(lParam));
    }
    case CB_RESETCONTENT: combo->clear(); return 0;
    case CB_GETCOUNT: return combo->count();
    case CB_GETCURSEL: return combo->currentIndex() < 0 ? CB_ERR : combo->currentIndex();
    case CB_SETCURSEL:
      // An index outside the list clears the selection and reports CB_ERR.
      if (!ValidIndex(combo, wParam)) {
        combo->setCurrentIndex(-1);
        return CB_ERR;
      }
      combo->setCurrentIndex(static_cast<int>(wParam));
      return static_cast<LRESULT>(wParam);
    case CB_GETLBTEXTLEN:
      return ValidIndex(combo, wParam) ? static_cast<LRESULT>(EntryBytes(combo, static_cast<int>(wParam)).size())
                                       : CB_ERR;
    case CB_GETLBTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || !ValidIndex(combo, wParam)) return CB_ERR;
      std::string bytes = EntryBytes(combo, static_cast<int>(wParam));
      std::memcpy(buffer, bytes.data(), bytes.size());
      buffer[bytes.size()] = '\0';
      return static_cast<LRESULT>(bytes.size());
    }
    case CB_SELECTSTRING: {
      int index = combo->count() == 0 ? CB_ERR : FindEntry(combo, wParam, TextOf(lParam));
      if (index != CB_ERR) combo->setCurrentIndex(index);
      return index;
    }
    case CB_SHOWDROPDOWN:
      if (wParam) {
        combo->showPopup();
      } else {
        combo->hidePopup();
      }
      return TRUE;
    default: return 0;
  }
}

}  // namespace morvek::qt
