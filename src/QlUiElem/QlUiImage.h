#pragma once
// A picture on a page: a picture file drawn at its own pixel size from the
// element's top-left corner, or stretched to the element rectangle.
#include <memory>
#include <string>

#include "QlUiElem/QlUiButton.h"
#include "QlUiElem/QlUiElem.h"

namespace NsOvrin::NsQlUiElem {

class QlUiImage : public QlUiElem {
 public:
  QlUiImage() = default;

  // The picture of the path; a path that is empty or does not load gives
  // the bitmap cache's placeholder. Nothing without a render target and a
  // bitmap cache.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return rect; }

  // Every field, the base's included.
  std::shared_ptr<QlUiImage> Clone() const;

  D2D_RECT_F rect;
  // 0 own pixel size, whatever the element's size; any other value stretched.
  ImageStyle imageStyle = kImageActualSize;
  // As the user chose it; the page load resolves it into the project's
  // pictures folder when the file is no longer at that path.
  std::string imagePath;
  // 0.0-1.0.
  float opacity = 1.0f;
};

}  // namespace NsOvrin::NsQlUiElem
