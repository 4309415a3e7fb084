#include "dx2d/TextPainter.h"

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsDx2d {

void ApplyTextAlignment(TextFormat& format, uint16_t alignment) {
  switch (alignment) {
    case 0: format.SetTextAlignment(TextAlignment::Leading); break;
    case 1: format.SetTextAlignment(TextAlignment::Center); break;
    case 2: format.SetTextAlignment(TextAlignment::Trailing); break;
    default: break;
  }
}

void ApplyParagraphAlignment(TextFormat& format, uint16_t alignment) {
  switch (alignment) {
    case 0: format.SetParagraphAlignment(ParagraphAlignment::Near); break;
    case 1: format.SetParagraphAlignment(ParagraphAlignment::Center); break;
    case 2: format.SetParagraphAlignment(ParagraphAlignment::Far); break;
    default: break;
  }
}

void TextPainter::Draw(const D2ResInfo& d2) const {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  if (text.empty()) return;
  TextFormat* format = d2.textFormatCache->GetFormat(fontSize);
  if (format == nullptr) return;
  ApplyTextAlignment(*format, horizontalAlignment);
  ApplyParagraphAlignment(*format, verticalAlignment);
  SolidColorBrush* brush = d2.brushCache->GetBrush(colour, 1.0f);
  if (brush == nullptr) return;
  d2.renderTarget->DrawText(text, *format, rect, *brush);
}

}  // namespace NsOvrin::NsDx2d
