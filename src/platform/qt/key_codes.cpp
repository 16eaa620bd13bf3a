#include "qt/key_codes.h"

#include <Qt>

#include "win32_user.h"

namespace morvek::qt {
namespace {

// Virtual keys that win32_user.h does not name.
constexpr UINT kVkPrior = 0x21;
constexpr UINT kVkNext = 0x22;
constexpr UINT kVkEnd = 0x23;
constexpr UINT kVkHome = 0x24;
constexpr UINT kVkInsert = 0x2D;
constexpr UINT kVkF24 = 0x87;

struct KeyPair {
  int qtKey;
  UINT virtualKey;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},      {Qt::Key_Backtab, VK_TAB},      {Qt::Key_Return, VK_RETURN},
    {Qt::Key_Enter, VK_RETURN},   {Qt::Key_Shift, VK_SHIFT},  {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Space, VK_SPACE},  {Qt::Key_PageUp, kVkPrior},     {Qt::Key_PageDown, kVkNext},
    {Qt::Key_End, kVkEnd},        {Qt::Key_Home, kVkHome},    {Qt::Key_Left, VK_LEFT},        {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},    {Qt::Key_Down, VK_DOWN},    {Qt::Key_Insert, kVkInsert},    {Qt::Key_Delete, VK_DELETE},
};

}  // namespace

UINT VirtualKeyOf(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<UINT>('A' + (qtKey - Qt::Key_A));
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<UINT>('0' + (qtKey - Qt::Key_0));
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK_F1 + static_cast<UINT>(qtKey - Qt::Key_F1);
  for (const KeyPair& pair : kKeys) {
    if (pair.qtKey == qtKey) return pair.virtualKey;
  }
  return 0;
}

int QtKeyOf(UINT virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return Qt::Key_A + static_cast<int>(virtualKey - 'A');
  if (virtualKey >= '0' && virtualKey <= '9') return Qt::Key_0 + static_cast<int>(virtualKey - '0');
  if (virtualKey >= VK_F1 && virtualKey <= kVkF24) return Qt::Key_F1 + static_cast<int>(virtualKey - VK_F1);
  for (const KeyPair& pair : kKeys) {
    if (pair.virtualKey == virtualKey) return pair.qtKey;
  }
  return 0;
}

QString TextOfKey(UINT virtualKey, bool shift) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') {
    return QString(QChar(shift ? static_cast<char16_t>(virtualKey) : static_cast<char16_t>(virtualKey - 'A' + 'a')));
  }
  if (virtualKey >= '0' && virtualKey <= '9') return QString(QChar(static_cast<char16_t>(virtualKey)));
  switch (virtualKey) {
    case VK_SPACE: return QStringLiteral(" ");
    case VK_RETURN: return QStringLiteral("\r");
    case VK_TAB: return QStringLiteral("\t");
    case VK_ESCAPE: return QString(QChar(0x1B));
    case VK_BACK: return QString(QChar(0x08));
    default: return {};
  }
}

}  // namespace morvek::qt
