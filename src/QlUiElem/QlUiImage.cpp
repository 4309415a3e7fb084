#include "QlUiElem/QlUiImage.h"

#include "dx2d/BitmapCache.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsQlUiElem {

void QlUiImage::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.bitmapCache == nullptr) return;
  const NsDx2d::BitmapRef bitmap = d2.bitmapCache->GetBitmap(imagePath);
  if (!bitmap.IsUsable()) return;

  D2D_RECT_F dest = rect;
  if (imageStyle == kImageActualSize) {
    dest.right = dest.left + static_cast<float>(bitmap.width);
    dest.bottom = dest.top + static_cast<float>(bitmap.height);
  }
  d2.renderTarget->DrawBitmap(*bitmap.bitmap, dest, opacity, NsDx2d::BitmapInterpolationMode::Linear);
}

std::shared_ptr<QlUiImage> QlUiImage::Clone() const { return std::make_shared<QlUiImage>(*this); }

}  // namespace NsOvrin::NsQlUiElem
