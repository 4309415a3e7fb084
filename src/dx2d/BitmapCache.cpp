#include "dx2d/BitmapCache.h"

#include <mutex>
#include <optional>
#include <utility>

#include "dx2d/ImagingFactory.h"

namespace NsOvrin::NsDx2d {

namespace {

struct DefaultResource {
  std::mutex lock;
  uint32_t id = 0;
  std::string type;
};

DefaultResource& GetDefaultResource() {
  static DefaultResource resource;
  return resource;
}

}  // namespace

BitmapCache::BitmapCache() {
  evict_ = [this](const std::string& path) { bitmaps_.erase(path); };
}

BitmapCache::~BitmapCache() { Clear(); }

void BitmapCache::SetRenderTarget(RenderTarget* target) {
  if (target == renderTarget_) return;
  Clear();
  renderTarget_ = target;
}

BitmapRef BitmapCache::GetBitmap(const std::string& path) {
  if (path.empty()) return GetDefaultBitmap();
  auto it = bitmaps_.find(path);
  if (it == bitmaps_.end()) {
    BitmapRef loaded = LoadFromFile(path);
    bitmaps_[path] = loaded;
    MoveToFront(path);
    if (recency_.size() >= capacity_) {
      evict_(recency_.back());
      recency_.pop_back();
    }
    if (loaded.IsUsable()) return loaded;
    return GetDefaultBitmap();
  }
  if (recency_.empty() || recency_.front() != path) MoveToFront(path);
  if (it->second.IsUsable()) return it->second;
  return GetDefaultBitmap();
}

BitmapRef BitmapCache::GetDefaultBitmap() {
  if (!defaultImage_.IsUsable()) {
    defaultImage_ = LoadFromResource(GetDefaultImageResourceId(), GetDefaultImageResourceType());
  }
  return defaultImage_;
}

BitmapRef BitmapCache::LoadFromFile(const std::string& path) {
  std::shared_ptr<ImagingFactory> imaging = ImagingFactory::Instance();
  if (!imaging || renderTarget_ == nullptr || path.empty()) return {};
  std::optional<DecodedImage> image = imaging->DecodeFile(path);
  if (!image) return {};
  return MakeBitmap(*image);
}

BitmapRef BitmapCache::LoadFromResource(uint32_t id, const std::string& type) {
  std::shared_ptr<ImagingFactory> imaging = ImagingFactory::Instance();
  // Resource ids start at 1: id 0 is "not set".
  if (!imaging || renderTarget_ == nullptr || id == 0) return {};
  std::optional<DecodedImage> image = imaging->DecodeResource(id, type);
  if (!image) return {};
  BitmapRef result = MakeBitmap(*image);
  if (!result.IsUsable()) return {};
  return result;
}

void BitmapCache::Clear() {
  bitmaps_.clear();
  recency_.clear();
  defaultImage_ = {};
}

BitmapRef BitmapCache::MakeBitmap(const DecodedImage& image) {
  // A pixel buffer that does not match its size is a broken decode.
  if (image.width == 0 || image.height == 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    return {};
  }
  std::unique_ptr<Bitmap> bitmap = renderTarget_->CreateBitmap(image);
  if (!bitmap) return {};
  BitmapRef result;
  result.width = image.width;
  result.height = image.height;
  result.bitmap = std::move(bitmap);
  return result;
}

void BitmapCache::MoveToFront(const std::string& path) {
  recency_.remove(path);
  recency_.push_front(path);
}

void BitmapCache::SetDefaultImageResource(uint32_t id, const std::string& type) {
  DefaultResource& resource = GetDefaultResource();
  std::lock_guard<std::mutex> guard(resource.lock);
  resource.id = id;
  resource.type = type;
}

uint32_t BitmapCache::GetDefaultImageResourceId() {
  DefaultResource& resource = GetDefaultResource();
  std::lock_guard<std::mutex> guard(resource.lock);
  return resource.id;
}

std::string BitmapCache::GetDefaultImageResourceType() {
  DefaultResource& resource = GetDefaultResource();
  std::lock_guard<std::mutex> guard(resource.lock);
  return resource.type;
}

}  // namespace NsOvrin::NsDx2d
