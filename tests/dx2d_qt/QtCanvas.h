#pragma once
// An image with the Qt render target and the caches wired to it, as a page
// view wires them.
#include <QColor>
#include <QImage>

#include "dx2d/BitmapCache.h"
#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/D2ResInfo.h"
#include "dx2d/TextFormatCache.h"
#include "dx2d/qt/QtDWriteFactory.h"
#include "dx2d/qt/QtRenderTarget.h"

namespace NsOvrin::NsDx2d {

struct QtCanvas {
  QtCanvas(int width, int height)
      : image(width, height, QImage::Format_ARGB32_Premultiplied), target(&image) {
    image.fill(Qt::white);
    textFormats.SetFactory(&dwrite);
    brushes.SetRenderTarget(&target);
    bitmaps.SetRenderTarget(&target);
  }

  D2ResInfo Info() { return {&d2Factory, &dwrite, &target, &textFormats, &brushes, &bitmaps}; }
  SolidColorBrush& Brush(COLORREF colour, float opacity = 1.0f) {
    return *brushes.GetBrush(colour, opacity);
  }
  QColor At(int x, int y) const { return image.pixelColor(x, y); }
  // Pixels in the rectangle (right and bottom excluded) that are nearly black.
  int DarkPixels(int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (qRed(pixel) < 128 && qGreen(pixel) < 128 && qBlue(pixel) < 128) ++count;
      }
    }
    return count;
  }

  QImage image;
  D2Factory d2Factory;
  QtDWriteFactory dwrite;
  QtRenderTarget target;
  TextFormatCache textFormats;
  BrushCache brushes;
  BitmapCache bitmaps;
};

}  // namespace NsOvrin::NsDx2d
