#pragma once
// One solid brush per render target, recoloured for every request: a caller
// draws with the brush before it asks for another colour and never keeps it.
#include <memory>

#include "dx2d/D2Types.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/SolidColorBrush.h"

namespace NsOvrin::NsDx2d {

class BrushCache {
 public:
  BrushCache() = default;
  BrushCache(const BrushCache&) = delete;
  BrushCache& operator=(const BrushCache&) = delete;

  // Null without a render target or when the brush cannot be made.
  SolidColorBrush* GetBrush(COLORREF colour, float opacity);

  // A different target releases the brush, which belonged to the old one.
  void SetRenderTarget(RenderTarget* target);
  RenderTarget* GetRenderTarget() const { return renderTarget_; }
  // For a target that failed and is about to be made again.
  void ReleaseBrush() { brush_.reset(); }

 private:
  std::unique_ptr<SolidColorBrush> brush_;
  RenderTarget* renderTarget_ = nullptr;
};

}  // namespace NsOvrin::NsDx2d
