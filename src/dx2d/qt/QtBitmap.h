#pragma once
// A bitmap of the Qt render target.
#include <QImage>
#include <utility>

#include "dx2d/Bitmap.h"

namespace NsOvrin::NsDx2d {

class QtBitmap : public Bitmap {
 public:
  explicit QtBitmap(QImage image) : image_(std::move(image)) {}

  D2D_SIZE_U GetPixelSize() const override {
    return {static_cast<uint32_t>(image_.width()), static_cast<uint32_t>(image_.height())};
  }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

}  // namespace NsOvrin::NsDx2d
