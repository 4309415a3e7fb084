#pragma once
// The process-wide cache of the fonts the in-house controls draw with, keyed
// by (size in tenths of a point, face). A font is made once and kept until
// the application object goes.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <QFont>

namespace NsOvrin::NsWui {

class FontManager {
 public:
  // The face an empty face stands for, and the face of the grids' text.
  static constexpr const char* kDefaultFace = "宋体";

  static FontManager& Instance();

  // The cached font of that size and face; an empty face is kDefaultFace.
  // The pointer stays valid while the application object lives.
  const QFont* GetFont(int32_t size, const std::string& face);
  const QFont* GetDefaultFaceFont(int32_t size) { return GetFont(size, kDefaultFace); }

  virtual ~FontManager();

  FontManager(const FontManager&) = delete;
  FontManager& operator=(const FontManager&) = delete;

 private:
  FontManager();
  void Clear() { fonts_.clear(); }

  // Sorted by size, then by face, case-sensitively.
  std::map<std::pair<int32_t, std::string>, std::unique_ptr<QFont>> fonts_;
};

// The pixel height of a point size in tenths of a point on a 96-dpi
// surface, rounded as the window system rounds it.
int PointSizeToPixels(int32_t tenthsOfPoint);

}  // namespace NsOvrin::NsWui
