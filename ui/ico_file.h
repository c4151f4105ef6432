#pragma once
// Writes Windows .ico files with palette images, which Qt's own ICO writer cannot make:
// Windows picks the 16- or 256-colour image of a size to match the display.

#include <QByteArray>
#include <QImage>
#include <vector>

namespace ui {

struct IcoEntry {
  QImage image;  // any format; alpha below 128 becomes transparent through the AND mask
  int bitCount;  // 4 (16 colours) or 8 (256 colours)
};

// The standard palettes the entries are reduced to: the 16 colours of the Windows VGA
// palette, and a 6×6×6 colour cube followed by 40 greys.
std::vector<QRgb> icoPalette(int bitCount);

QByteArray writeIco(const std::vector<IcoEntry>& entries);

}  // namespace ui
