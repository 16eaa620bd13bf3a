// Writes the program's icon as the PNG images of a desktop icon theme:
//
//   icon_theme <folder> <size>...    writes <folder>/<size>x<size>/apps/morvek-comm.png
//
// Each image is the icon's own image of that size (32x32, 16x16), else its
// largest image scaled without smoothing. Exit status 0 when every image was
// written, 1 otherwise, 2 on bad arguments.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "platform/afx.h"
#include "platform/qt/icons.h"
#include "res/resource.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: icon_theme <folder> <size>...\n");
    return 2;
  }
  HICON icon = LoadIconA(nullptr, MAKEINTRESOURCE(IDR_MAINFRAME));
  if (!icon) {
    std::fprintf(stderr, "icon_theme: the program's icon is missing\n");
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0 || size > 256) {
      std::fprintf(stderr, "icon_theme: bad size '%s'\n", argv[i]);
      return 2;
    }
    const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    const QImage image = morvek::qt::IconImageOf(icon, size);
    if (!QDir().mkpath(folder) || image.isNull() || !image.save(folder + "/morvek-comm.png", "PNG")) {
      std::fprintf(stderr, "icon_theme: cannot write %s/morvek-comm.png\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
