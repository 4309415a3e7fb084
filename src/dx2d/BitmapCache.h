#pragma once
// Bitmaps by file path, the least recently used going first once the cache
// is full. A path that failed to load stays cached as unusable, so a missing
// picture costs one attempt; until it is evicted or the cache is cleared
// every request for it gets the placeholder picture.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>

#include "dx2d/Bitmap.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsDx2d {

struct BitmapRef {
  uint32_t width = 0;
  uint32_t height = 0;
  std::shared_ptr<Bitmap> bitmap;

  bool IsUsable() const { return width != 0 && height != 0 && bitmap != nullptr; }
};

class BitmapCache {
 public:
  static constexpr std::size_t kCapacity = 300;

  BitmapCache();
  BitmapCache(const BitmapCache&) = delete;
  BitmapCache& operator=(const BitmapCache&) = delete;
  ~BitmapCache();

  // The bitmaps belong to their target: a different target empties the cache.
  void SetRenderTarget(RenderTarget* target);
  RenderTarget* GetRenderTarget() const { return renderTarget_; }

  // An empty path, or a path that does not load, gives the placeholder.
  BitmapRef GetBitmap(const std::string& path);
  // The placeholder picture; empty while no resource is set for it or it
  // cannot be loaded (tried again at every request until it loads).
  BitmapRef GetDefaultBitmap();
  BitmapRef LoadFromFile(const std::string& path);
  BitmapRef LoadFromResource(uint32_t id, const std::string& type);
  void Clear();

  std::size_t Count() const { return bitmaps_.size(); }

  // Process-wide: the resource of the placeholder picture. Id 0 and an
  // empty type until the application sets them (357, "PNG").
  static void SetDefaultImageResource(uint32_t id, const std::string& type);
  static uint32_t GetDefaultImageResourceId();
  static std::string GetDefaultImageResourceType();

 private:
  BitmapRef MakeBitmap(const DecodedImage& image);
  void MoveToFront(const std::string& path);

  BitmapRef defaultImage_;
  std::map<std::string, BitmapRef> bitmaps_;
  RenderTarget* renderTarget_ = nullptr;
  std::function<void(const std::string&)> evict_;
  std::size_t capacity_ = kCapacity;
  std::list<std::string> recency_;  // most recently used first
};

}  // namespace NsOvrin::NsDx2d
