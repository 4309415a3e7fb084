#include "app/UserToolBarImages.h"

#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <utility>

#include "platform/CheckedFile.h"

namespace NsOvrin {

bool UserToolBarImages::Load(const std::string& path) {
  // Regular files only, and never waiting on a FIFO.
  std::string bytes;
  if (!NsPlatform::ReadRegularFile(path, bytes, static_cast<std::size_t>(kMaxFileBytes))) return false;
  QImage strip;
  if (!strip.loadFromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))) ||
      strip.width() < kImageWidth)
    return false;

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
