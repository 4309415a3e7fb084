#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsDx2d {

TextFormatCache::TextFormatCache() {
  evict_ = [this](int32_t fontSize) { formats_.erase(fontSize); };
}

TextFormat* TextFormatCache::GetFormat(int32_t fontSize) {
  if (factory_ == nullptr) return nullptr;
  if (fontSize < kMinFontSize) fontSize = kMinFontSize;
  auto it = formats_.find(fontSize);
  if (it == formats_.end()) return CreateFormat(fontSize);
  if (recency_.empty() || recency_.front() != fontSize) MoveToFront(fontSize);
  return it->second.get();
}

TextFormat* TextFormatCache::CreateFormat(int32_t fontSize) {
  if (factory_ == nullptr) return nullptr;
  // Tenths of a point to DIPs: 72 points and 96 DIPs to the inch.
  const float dips = static_cast<float>(fontSize) * 96.0f / 720.0f;
  std::unique_ptr<TextFormat> format = factory_->CreateTextFormat(
      "微软雅黑", FontWeight::Normal, FontStyle::Normal, FontStretch::Normal, dips, "zh-cn");
  if (!format) return nullptr;
  TextFormat* result = format.get();
  // A size made again replaces its old format rather than leaving a second
  // entry for it in the recency list.
  formats_[fontSize] = std::move(format);
  MoveToFront(fontSize);
  if (recency_.size() >= capacity_) {
    evict_(recency_.back());
    recency_.pop_back();
  }
  return result;
}

void TextFormatCache::Clear() {
  formats_.clear();
  recency_.clear();
}

void TextFormatCache::MoveToFront(int32_t fontSize) {
  recency_.remove(fontSize);
  recency_.push_front(fontSize);
}

}  // namespace NsOvrin::NsDx2d
