#include "wui/FontManager.h"

#include <QCoreApplication>
#include <QStringList>

namespace NsOvrin::NsWui {

namespace {

// "宋体" is not installed here; this face has the CJK glyphs.
constexpr char kCjkFallbackFamily[] = "WenQuanYi Micro Hei";

}  // namespace

int PointSizeToPixels(int32_t tenthsOfPoint) {
  // size * 96 / 720, rounded half away from zero.
  const int64_t scaled = static_cast<int64_t>(tenthsOfPoint) * 96;
  const int64_t pixels = scaled >= 0 ? (scaled + 360) / 720 : (scaled - 360) / 720;
  return static_cast<int>(pixels);
}

FontManager::FontManager() = default;
FontManager::~FontManager() = default;

FontManager& FontManager::Instance() {
  static FontManager manager;
  return manager;
}

const QFont* FontManager::GetFont(int32_t size, const std::string& face) {
  auto key = std::make_pair(size, face.empty() ? std::string(kDefaultFace) : face);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.get();

  if (fonts_.empty()) {
    // Fonts must not outlive the application's font database: drop them
    // when the application object goes.
    qAddPostRoutine([] { Instance().Clear(); });
  }
  auto font = std::make_unique<QFont>();
  font->setFamilies(QStringList{QString::fromStdString(key.second), QString::fromLatin1(kCjkFallbackFamily)});
  // Qt refuses a size that is not positive; the window system then takes
  // its default height.
  const int pixels = PointSizeToPixels(size);
  font->setPixelSize(pixels > 0 ? pixels : 12);
  const QFont* result = font.get();
  fonts_.emplace(std::move(key), std::move(font));
  return result;
}

}  // namespace NsOvrin::NsWui
