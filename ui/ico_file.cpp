#include "ui/ico_file.h"

#include <cstdint>
#include <stdexcept>

namespace ui {
namespace {

void put16(QByteArray& out, std::uint16_t v) {
  out.append(static_cast<char>(v & 0xff));
  out.append(static_cast<char>(v >> 8));
}

void put32(QByteArray& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v & 0xffff));
  put16(out, static_cast<std::uint16_t>(v >> 16));
}

int nearest(const std::vector<QRgb>& palette, QRgb c) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    const long dr = qRed(c) - qRed(palette[i]);
    const long dg = qGreen(c) - qGreen(palette[i]);
    const long db = qBlue(c) - qBlue(palette[i]);
    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;  // rough perceptual weights
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

// BITMAPINFOHEADER, palette, XOR bitmap and AND mask, rows bottom-up and padded to 4 bytes.
QByteArray imageData(const IcoEntry& entry) {
  const QImage src = entry.image.convertToFormat(QImage::Format_ARGB32);
  const int w = src.width();
  const int h = src.height();
  const std::vector<QRgb> palette = icoPalette(entry.bitCount);
  const int xorStride = ((w * entry.bitCount + 31) / 32) * 4;
  const int andStride = ((w + 31) / 32) * 4;

  QByteArray out;
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(w));
  put32(out, static_cast<std::uint32_t>(2 * h));  // XOR and AND bitmaps together
  put16(out, 1);
  put16(out, static_cast<std::uint16_t>(entry.bitCount));
  put32(out, 0);  // BI_RGB
  put32(out, static_cast<std::uint32_t>((xorStride + andStride) * h));
  put32(out, 0);
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>(palette.size()));
  put32(out, 0);
  for (QRgb c : palette) {
    out.append(static_cast<char>(qBlue(c)));
    out.append(static_cast<char>(qGreen(c)));
    out.append(static_cast<char>(qRed(c)));
    out.append('\0');
  }
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row(xorStride, '\0');
    for (int x = 0; x < w; ++x) {
      const QRgb c = src.pixel(x, y);
      const int i = qAlpha(c) < 128 ? 0 : nearest(palette, c);  // transparent: black, index 0
      if (entry.bitCount == 8) {
        row[x] = static_cast<char>(i);
      } else {
        row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 ? i : i << 4));
      }
    }
    out.append(row);
  }
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row(andStride, '\0');
    for (int x = 0; x < w; ++x) {
      if (qAlpha(src.pixel(x, y)) < 128)
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    out.append(row);
  }
  return out;
}

}  // namespace

std::vector<QRgb> icoPalette(int bitCount) {
  if (bitCount == 4) {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
  }
  if (bitCount == 8) {
    std::vector<QRgb> palette;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) palette.push_back(qRgb(r * 51, g * 51, b * 51));
    for (int i = 0; i < 40; ++i) {
      const int v = 4 + i * 6;  // greys between the cube's levels
      palette.push_back(qRgb(v, v, v));
    }
    return palette;
  }
  throw std::invalid_argument("icon images have 4 or 8 bits per pixel");
}

QByteArray writeIco(const std::vector<IcoEntry>& entries) {
  std::vector<QByteArray> data;
  for (const IcoEntry& e : entries) data.push_back(imageData(e));

  QByteArray out;
  put16(out, 0);
  put16(out, 1);  // icon
  put16(out, static_cast<std::uint16_t>(entries.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const QImage& img = entries[i].image;
    out.append(static_cast<char>(img.width() >= 256 ? 0 : img.width()));
    out.append(static_cast<char>(img.height() >= 256 ? 0 : img.height()));
    out.append(static_cast<char>(entries[i].bitCount == 4 ? 16 : 0));  // 256 colours: 0
    out.append('\0');
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(entries[i].bitCount));
    put32(out, static_cast<std::uint32_t>(data[i].size()));
    put32(out, offset);
    offset += static_cast<std::uint32_t>(data[i].size());
  }
  for (const QByteArray& d : data) out.append(d);
  return out;
}

}  // namespace ui
