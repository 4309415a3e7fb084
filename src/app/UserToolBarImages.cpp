#include "app/UserToolBarImages.h"

#include <QFile>
#include <QImage>
#include <algorithm>
#include <utility>

namespace NsOvrin {

bool UserToolBarImages::Load(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return false;
  QImage strip;
  if (!strip.loadFromData(file.readAll()) || strip.width() < kImageWidth) return false;

  std::vector<QPixmap> images;
  const int count = strip.width() / kImageWidth;
  const int height = std::min(strip.height(), kImageHeight);
  for (int i = 0; i < count; ++i) {
    images.push_back(QPixmap::fromImage(strip.copy(i * kImageWidth, 0, kImageWidth, height)));
  }
  images_ = std::move(images);
  return true;
}

QPixmap UserToolBarImages::Image(int index) const {
  if (index < 0 || index >= Count()) return {};
  return images_[static_cast<std::size_t>(index)];
}

}  // namespace NsOvrin
