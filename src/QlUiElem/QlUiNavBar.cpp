#include "QlUiElem/QlUiNavBar.h"

#include <algorithm>

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsQlUiElem {
namespace {

// Share of a tab when the bar has no labels.
constexpr float kEmptyTabSize = 10.0f;

}  // namespace

QlUiNavBar::QlUiNavBar() {
  painter.cornerRadius = 0.0f;
  painter.borderWidth = 1.0f;
  painter.bevelWidth = 1.3f;
  painter.switchFrameWidth = 1.0f;
  painter.style = 0;
  painter.borderColour = borderColour;
  painter.fillColour = bkColour;
  painter.opacity = 1.0f;
  painter.rect = rect;
}

std::shared_ptr<QlUiNavBar> QlUiNavBar::QlUiNavBarAt(NsDx2d::D2D_POINT_2F p) {
  auto bar = std::make_shared<QlUiNavBar>();
  bar->SetRect({p.x, p.y, p.x + kNewWidth, p.y + kNewHeight});
  bar->labels = {"首页", "页面1", "页面2", "..."};
  bar->selectedIndex = 0;
  return bar;
}

void QlUiNavBar::SetRect(const D2D_RECT_F& r) {
  rect = r;
  painter.rect = r;
  painter.cornerRadius = 0.0f;
  painter.ReleaseGeometry();
}

void QlUiNavBar::SetBorderColour(COLORREF colour) {
  borderColour = colour;
  painter.borderColour = colour;
}

void QlUiNavBar::SetBkColour(COLORREF colour) {
  bkColour = colour;
  painter.fillColour = colour;
}

std::shared_ptr<QlUiNavBar> QlUiNavBar::Clone() const {
  return std::shared_ptr<QlUiNavBar>(new QlUiNavBar(*this));
}

D2D_RECT_F QlUiNavBar::GetTabRect(int32_t index) const {
  const float n = static_cast<float>(labels.size());
  const float i = static_cast<float>(index);
  if (horizontal) {
    const float w = fixedTabWidth ? std::max(tabWidth, 1.0f)
                    : labels.empty() ? kEmptyTabSize
                                     : (rect.right - rect.left) / n;
    return {rect.left + i * w, rect.top, rect.left + i * w + w, rect.bottom};
  }
  const float h = fixedTabWidth ? std::max(tabWidth, 1.0f)
                  : labels.empty() ? kEmptyTabSize
                                   : (rect.bottom - rect.top) / n;
  return {rect.left, rect.top + i * h, rect.right, rect.top + i * h + h};
}

void QlUiNavBar::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(bkColour, 1.0f))
    d2.renderTarget->FillRectangle(rect, *brush);
  DrawTabs(d2);
  painter.Draw(d2);
}

void QlUiNavBar::DrawTabs(const D2ResInfo& d2) {
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const int32_t i = static_cast<int32_t>(k);
    const D2D_RECT_F tab = GetTabRect(i);
    NsDx2d::TextFormat* format = d2.textFormatCache->GetFormat(fontSize);
    if (format != nullptr) {
      format->SetTextAlignment(NsDx2d::TextAlignment::Center);
      format->SetParagraphAlignment(NsDx2d::ParagraphAlignment::Center);
    }
    const bool selected = i == selectedIndex;
    if (selected) {
      if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(bkColour2, 1.0f))
        d2.renderTarget->FillRectangle(tab, *brush);
    }
    if (labels[k].empty() || format == nullptr) continue;
    // Labels may run past their tab: no clip.
    if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(selected ? textColour2 : textColour, 1.0f))
      d2.renderTarget->DrawText(labels[k], *format, tab, *brush);
  }
}

}  // namespace NsOvrin::NsQlUiElem
