#include "wui/ImagePainter.h"

#include <QPainter>

namespace NsOvrin::NsWui {

void ImagePainter::Draw(QPainter* painter) const {
  if (painter == nullptr || image.isNull()) return;
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
  if (mode == kModeOwnSize) {
    painter->drawImage(QRect(rect.left, rect.top, image.width(), image.height()), image);
  } else if (mode == kModeStretch) {
    painter->drawImage(rect.ToQRect(), image);
  }
  painter->restore();
}

}  // namespace NsOvrin::NsWui
