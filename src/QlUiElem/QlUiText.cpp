#include "QlUiElem/QlUiText.h"

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsQlUiElem {

D2D_RECT_F TextBoxRectOf(const D2D_RECT_F& rect) {
  return {rect.left + 4.0f, rect.top + 2.0f, rect.right - 4.0f, rect.bottom - 2.0f};
}

void QlUiText::SetRect(const D2D_RECT_F& r) {
  rect = r;
  textBox.rect = TextBoxRectOf(r);
}

void QlUiText::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  if (bkOpacity != 0.0f) {
    if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(bkColor, bkOpacity))
      d2.renderTarget->FillRectangle(rect, *brush);
  }
  textBox.Draw(d2);
}

std::shared_ptr<QlUiText> QlUiText::Clone() const { return std::make_shared<QlUiText>(*this); }

}  // namespace NsOvrin::NsQlUiElem
