#include "QlUiElem/QlUiEdit.h"

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsQlUiElem {
namespace {

constexpr float kBorderWidth = 1.0f;

}  // namespace

std::shared_ptr<QlUiEdit> QlUiEdit::QlUiEditAt(NsDx2d::D2D_POINT_2F p, float width) {
  auto edit = std::make_shared<QlUiEdit>();
  edit->SetRect({p.x, p.y, p.x + width, p.y + kNewHeight});
  return edit;
}

void QlUiEdit::SetDefaultText() {
  textBox.text = "0";
  textBox.colour = 0x222222;
  textBox.fontSize = 120;
  textBox.horizontalAlignment = 0;
  textBox.verticalAlignment = 1;
}

void QlUiEdit::SetRect(const D2D_RECT_F& r) {
  rect = r;
  textBox.rect = TextBoxRectOf(r);
}

void QlUiEdit::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  // The brush is recoloured by every request: draw with it at once.
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(bkColor, bkOpacity))
    d2.renderTarget->FillRectangle(rect, *brush);
  textBox.Draw(d2);
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(borderColor, bkOpacity))
    d2.renderTarget->DrawRectangle(rect, *brush, kBorderWidth);
}

std::shared_ptr<QlUiEdit> QlUiEdit::Clone() const { return std::make_shared<QlUiEdit>(*this); }

}  // namespace NsOvrin::NsQlUiElem
