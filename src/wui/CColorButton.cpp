#include "wui/CColorButton.h"

#include <QPainter>

#include "wui/GdiPaint.h"
#include "wui/UiServices.h"

namespace NsOvrin::NsWui {

namespace {

constexpr uint32_t kSwatchFrame = 0xABABAB;

}  // namespace

CColorButton::CColorButton(QWidget* parent) : QPushButton(parent) {
  connect(this, &QPushButton::clicked, this, [this] { OnClicked(); });
}

void CColorButton::DrawItem(QPainter& painter, const WRect& rect) const {
  GdiFillRect(painter, rect, backColour);
  WRect swatch = rect;
  if (!swatchOnly) {
    const int middle = (rect.top + rect.bottom) / 2;
    swatch = {rect.left + 10, middle - 10, rect.left + 30, middle + 10};
  }
  GdiFillRect(painter, swatch, swatchColour);
  GdiFrameRect(painter, swatch, kSwatchFrame);
  if (swatchOnly || text().isEmpty()) return;
  GdiDrawText(painter, WRect{rect.left + 36, rect.top, rect.right, rect.bottom}, text(), font(), textColour,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void CColorButton::OnClicked() {
  uint32_t chosen = swatchColour;
  if (!GetUiServices().ChooseColor(this, swatchColour, chosen)) return;
  swatchColour = chosen;
  update();
  if (colourListener) colourListener(chosen);
}

void CColorButton::OnMouseHover() {
  backColour = 0xF4F4F4;
  update();
}

void CColorButton::OnMouseLeave() {
  backColour = 0xEBEBEB;
  update();
}

void CColorButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawItem(painter, WRect::FromQRect(rect()));
}

}  // namespace NsOvrin::NsWui
