// Icons: an HICON names the images of an icon resource (res/), made into
// pixels once with the 16-colour palette and the transparency mask.
#pragma once

#include <QIcon>
#include <QImage>

#include "win32_types.h"

namespace morvek::qt {

// The icon's image for a square size: the image of that size, else the
// largest one scaled without smoothing (each pixel repeated, so the
// 16-colour drawing stays crisp). Null image for an unknown icon.
QImage IconImageOf(HICON icon, int size);
// A window icon from the big (32 pixels) and small (16 pixels) icons.
QIcon WindowIconOf(HICON bigIcon, HICON smallIcon);

}  // namespace morvek::qt
