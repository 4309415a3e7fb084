#include "dx2d/BrushCache.h"

namespace NsOvrin::NsDx2d {

SolidColorBrush* BrushCache::GetBrush(COLORREF colour, float opacity) {
  if (renderTarget_ == nullptr) return nullptr;
  const D2D_COLOR_F colorF = ColorFromRef(colour, opacity);
  if (brush_) {
    brush_->SetColor(colorF);
  } else {
    brush_ = renderTarget_->CreateSolidColorBrush(colorF);
  }
  return brush_.get();
}

void BrushCache::SetRenderTarget(RenderTarget* target) {
  if (target == renderTarget_) return;
  brush_.reset();
  renderTarget_ = target;
}

}  // namespace NsOvrin::NsDx2d
