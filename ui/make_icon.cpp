// Build step: renders the program's icon drawing into hydrant-calc.ico (16, 32 and 48 px,
// each with 16 and with 256 colours) for the Windows resource, and PNGs of the
// hicolor theme sizes (16 to 256 px) for Linux desktops.
//
// Usage: hydrant-make-icon OUTPUT_DIR

#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>

#include "ui/app_icon.h"
#include "ui/ico_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  std::vector<ui::IcoEntry> entries;
  for (int bits : {4, 8}) {
    for (int size : {16, 32, 48}) entries.push_back({ui::drawAppIcon(size), bits});
  }
  QFile ico(dir + "/hydrant-calc.ico");
  if (!ico.open(QIODevice::WriteOnly) || ico.write(ui::writeIco(entries)) < 0) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(ico.fileName()));
    return 1;
  }
  // The freedesktop hicolor sizes, for the desktop entry's icon.
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString png = dir + QStringLiteral("/hydrant-calc-%1.png").arg(size);
    if (!ui::drawAppIcon(size).save(png)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
      return 1;
    }
  }
  return 0;
}
