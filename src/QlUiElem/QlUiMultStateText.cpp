#include "QlUiElem/QlUiMultStateText.h"

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"
#include "dx2d/TextPainter.h"

namespace NsOvrin::NsQlUiElem {

const MultStateItem& QlUiMultStateText::GetStateItem(int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= states.size()) return DefaultMultStateItem();
  return states[static_cast<std::size_t>(index)];
}

std::shared_ptr<QlUiMultStateText> QlUiMultStateText::Clone() const {
  return std::shared_ptr<QlUiMultStateText>(new QlUiMultStateText(*this));
}

void QlUiMultStateText::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  if (currentState < 0 || static_cast<std::size_t>(currentState) >= states.size()) return;
  const MultStateItem& item = states[static_cast<std::size_t>(currentState)];

  if (item.bkOpacity != 0.0f) {
    if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(item.bkColour, item.bkOpacity))
      d2.renderTarget->FillRectangle(rect, *brush);
  }

  NsDx2d::TextFormat* format = d2.textFormatCache->GetFormat(item.fontSize);
  if (format == nullptr) return;
  // An alignment outside 0-2 keeps what the shared format last had.
  NsDx2d::ApplyTextAlignment(*format, item.horizontalAlignment);
  NsDx2d::ApplyParagraphAlignment(*format, item.verticalAlignment);
  const D2D_RECT_F box{rect.left + 3.0f, rect.top + 1.0f, rect.right - 3.0f, rect.bottom - 1.0f};
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(item.textColour, 1.0f))
    d2.renderTarget->DrawText(item.text, *format, box, *brush);
}

}  // namespace NsOvrin::NsQlUiElem
