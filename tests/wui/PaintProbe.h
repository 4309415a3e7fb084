#pragma once
// Paints into an image and reads it back: pixels as 0x00BBGGRR, and the
// bounding box of whatever differs from the background.
#include <cstdint>
#include <cstdlib>

#include <QImage>
#include <QPainter>

#include "wui/WRect.h"

namespace NsOvrin::NsWui::Testing {

inline QImage MakeCanvas(int width, int height, uint32_t fill = 0xFFFFFF) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(static_cast<int>(fill & 0xFF), static_cast<int>((fill >> 8) & 0xFF),
                    static_cast<int>((fill >> 16) & 0xFF)));
  return image;
}

inline uint32_t PixelRef(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return static_cast<uint32_t>(qRed(p)) | (static_cast<uint32_t>(qGreen(p)) << 8) |
         (static_cast<uint32_t>(qBlue(p)) << 16);
}

inline int Red(uint32_t ref) { return static_cast<int>(ref & 0xFF); }
inline int Green(uint32_t ref) { return static_cast<int>((ref >> 8) & 0xFF); }
inline int Blue(uint32_t ref) { return static_cast<int>((ref >> 16) & 0xFF); }

// Every channel within tolerance.
inline bool Near(uint32_t a, uint32_t b, int tolerance) {
  return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
         std::abs(Blue(a) - Blue(b)) <= tolerance;
}

// The smallest rectangle of area holding every pixel that differs from
// background; empty when none does.
inline WRect InkBox(const QImage& image, const WRect& area, uint32_t background) {
  WRect box{area.right, area.bottom, area.left, area.top};
  bool any = false;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (PixelRef(image, x, y) == background) continue;
      any = true;
      if (x < box.left) box.left = x;
      if (y < box.top) box.top = y;
      if (x + 1 > box.right) box.right = x + 1;
      if (y + 1 > box.bottom) box.bottom = y + 1;
    }
  }
  return any ? box : WRect{};
}

inline int CountPixels(const QImage& image, const WRect& area, uint32_t colour) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += PixelRef(image, x, y) == colour ? 1 : 0;
  }
  return count;
}

}  // namespace NsOvrin::NsWui::Testing
