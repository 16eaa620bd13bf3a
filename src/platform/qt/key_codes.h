// Qt keys <-> Windows virtual keys.
#pragma once

#include <QString>

#include "win32_types.h"

namespace morvek::qt {

// The virtual key of a Qt key, 0 for keys without one.
UINT VirtualKeyOf(int qtKey);
// The Qt key of a virtual key, 0 for virtual keys without one.
int QtKeyOf(UINT virtualKey);
// The text a key types without modifiers ("" for keys that type nothing).
QString TextOfKey(UINT virtualKey, bool shift);

}  // namespace morvek::qt
