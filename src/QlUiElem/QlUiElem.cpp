#include "QlUiElem/QlUiElem.h"

#include "dx2d/BrushCache.h"
#include "dx2d/DWriteFactory.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsQlUiElem {
namespace {

using NsDx2d::COLORREF;

constexpr COLORREF kDotColour = 0x6667FE;
constexpr float kDotOpacity = 0.9f;
constexpr COLORREF kCrossColour = 0xFFFFFF;
constexpr float kCrossWidth = 1.3f;
constexpr COLORREF kTipColour = 0x84F2EF;
constexpr float kTipOpacity = 0.8f;
constexpr COLORREF kTextColour = 0x000000;
constexpr float kTextOpacity = 0.8f;

constexpr float kDotRadius = 6.0f;
constexpr float kCrossHalf = 2.0f;
constexpr float kPadding = 4.0f;
constexpr float kMeasureBox = 1000.0f;

bool CanFill(const D2ResInfo& d2) { return d2.renderTarget != nullptr && d2.brushCache != nullptr; }

}  // namespace

void DrawErrorCross(const D2ResInfo& d2, const D2D_RECT_F& square) {
  if (!CanFill(d2)) return;
  NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(kCrossColour, 1.0f);
  if (brush == nullptr) return;
  d2.renderTarget->DrawLine({square.left, square.top}, {square.right, square.bottom}, *brush,
                            kCrossWidth);
  d2.renderTarget->DrawLine({square.right, square.top}, {square.left, square.bottom}, *brush,
                            kCrossWidth);
}

void QlUiElem::SetErrorText(const std::string& text) {
  if (text == errorText) return;
  errorText = text;
  errorTextWidth = 0.0f;
  errorTextHeight = 0.0f;
}

void QlUiElem::MeasureErrorText(const D2ResInfo& d2) {
  if (d2.textFormatCache == nullptr) return;
  NsDx2d::DWriteFactory* factory =
      d2.dwriteFactory != nullptr ? d2.dwriteFactory : d2.textFormatCache->GetFactory();
  if (factory == nullptr) return;
  NsDx2d::TextFormat* format = d2.textFormatCache->GetFormat(kErrorFontSize);
  if (format == nullptr) return;
  const auto layout = factory->CreateTextLayout(errorText, *format, kMeasureBox, kMeasureBox);
  if (!layout) return;
  errorTextWidth = layout->GetMetrics().widthIncludingTrailingWhitespace;
  errorTextHeight = layout->GetMetrics().height;
}

ErrorTipLayout QlUiElem::LayoutErrorTip(const D2ResInfo& d2) {
  const D2D_RECT_F rect = GetRect();
  const NsDx2d::D2D_POINT_2F c{rect.right - 4.0f, rect.top + 6.0f};
  if (errorTextHeight == 0.0f) MeasureErrorText(d2);

  ErrorTipLayout layout;
  layout.dot = {c, kDotRadius, kDotRadius};
  layout.crossSquare = {c.x - kCrossHalf, c.y - kCrossHalf, c.x + kCrossHalf, c.y + kCrossHalf};
  layout.textBox.left = c.x + kDotRadius + kPadding;
  layout.textBox.right = layout.textBox.left + errorTextWidth + kPadding;
  layout.textBox.top = c.y - errorTextHeight / 2.0f;
  layout.textBox.bottom = c.y + errorTextHeight / 2.0f;
  layout.tipBox.left = c.x - kDotRadius - kPadding;
  layout.tipBox.right = layout.textBox.right + kPadding;
  layout.tipBox.top = layout.textBox.top - kPadding;
  layout.tipBox.bottom = layout.textBox.bottom + kPadding;
  return layout;
}

void QlUiElem::FillDot(const D2ResInfo& d2, const ErrorTipLayout& layout) {
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(kDotColour, kDotOpacity))
    d2.renderTarget->FillEllipse(layout.dot, *brush);
}

void QlUiElem::DrawErrorTip(const D2ResInfo& d2) {
  if (!shown || !inError || !CanFill(d2)) return;
  const ErrorTipLayout layout = LayoutErrorTip(d2);
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(kTipColour, kTipOpacity))
    d2.renderTarget->FillRectangle(layout.tipBox, *brush);
  FillDot(d2, layout);
  DrawErrorCross(d2, layout.crossSquare);

  if (errorText.empty() || d2.textFormatCache == nullptr) return;
  NsDx2d::TextFormat* format = d2.textFormatCache->GetFormat(kErrorFontSize);
  if (format == nullptr) return;
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(kTextColour, kTextOpacity))
    d2.renderTarget->DrawText(errorText, *format, layout.textBox, *brush);
}

void QlUiElem::DrawWithErrorMark(const D2ResInfo& d2) {
  if (!shown) return;
  Draw(d2);
  if (!inError || selected || !CanFill(d2)) return;
  const ErrorTipLayout layout = LayoutErrorTip(d2);
  FillDot(d2, layout);
  DrawErrorCross(d2, layout.crossSquare);
}

}  // namespace NsOvrin::NsQlUiElem
