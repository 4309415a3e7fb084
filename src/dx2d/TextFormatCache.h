#pragma once
// Text formats by font size (tenths of a point), all of the face "微软雅黑",
// the least recently used going first once the cache is full. The formats
// are shared: whoever draws sets the alignments it needs on the format it
// gets, and they stay set for the next user.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>

#include "dx2d/DWriteFactory.h"
#include "dx2d/TextFormat.h"

namespace NsOvrin::NsDx2d {

class TextFormatCache {
 public:
  static constexpr std::size_t kCapacity = 50;
  // 5 pt: smaller sizes share this one.
  static constexpr int32_t kMinFontSize = 50;

  TextFormatCache();
  TextFormatCache(const TextFormatCache&) = delete;
  TextFormatCache& operator=(const TextFormatCache&) = delete;

  void SetFactory(DWriteFactory* factory) { factory_ = factory; }
  DWriteFactory* GetFactory() const { return factory_; }

  // Null without a factory or when the format cannot be made.
  TextFormat* GetFormat(int32_t fontSize);
  // Makes the format of exactly that size and caches it; see GetFormat.
  TextFormat* CreateFormat(int32_t fontSize);
  void Clear();

  std::size_t Count() const { return formats_.size(); }

 private:
  void MoveToFront(int32_t fontSize);

  std::map<int32_t, std::unique_ptr<TextFormat>> formats_;
  DWriteFactory* factory_ = nullptr;
  std::function<void(int32_t)> evict_;
  std::size_t capacity_ = kCapacity;
  std::list<int32_t> recency_;  // most recently used first
};

}  // namespace NsOvrin::NsDx2d
