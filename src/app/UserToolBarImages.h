#pragma once
// Button images the user supplies for his own toolbars: one bitmap strip of
// 16 x 15 images side by side, read from a file of at most 819200 bytes.
#include <cstdint>
#include <string>
#include <vector>

#include <QPixmap>

namespace NsOvrin {

class UserToolBarImages {
 public:
  static constexpr int kImageWidth = 16;
  static constexpr int kImageHeight = 15;
  static constexpr int64_t kMaxFileBytes = 819200;
  static constexpr const char* kDefaultFile = "./UserImages.bmp";

  // Replaces the images by those of the file; false, keeping what was
  // loaded, for a file that is missing, too big or no picture at least one
  // image wide.
  bool Load(const std::string& path);
  bool IsLoaded() const { return !images_.empty(); }
  int Count() const { return static_cast<int>(images_.size()); }
  // A null pixmap for an index out of range.
  QPixmap Image(int index) const;

 private:
  std::vector<QPixmap> images_;
};

}  // namespace NsOvrin
