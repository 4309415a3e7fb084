#include "QlUiElem/QlUiBtnUser.h"

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsQlUiElem {
namespace {

using NsDx2d::COLORREF;
using NsDx2d::ShapePainter;
using NsDx2d::TextPainter;

constexpr int32_t kFlatStyle = 0;
constexpr int32_t kRaisedStyle = 1;
constexpr COLORREF kFrameColour = 0xC0C0C0;
constexpr COLORREF kButtonTextColour = 0xC0C0C0;
constexpr COLORREF kPlaceholderColour = 0x999999;
constexpr COLORREF kSeparatorColour = 0xE0E0E0;
constexpr int32_t kFontSize = 100;
constexpr uint16_t kCentred = 1;

// Widths of the two buttons at the right end.
constexpr float kLogoutWidth = 80.0f;
constexpr float kStripWidth = 180.0f;

// Shape settings of a new element; SetRect gives the frames their layout.
void InitFrame(ShapePainter& painter) {
  painter.cornerRadius = 5.0f;
  painter.borderWidth = 1.0f;
  painter.bevelWidth = 1.3f;
  painter.switchFrameWidth = 1.0f;
  painter.opacity = 1.0f;
}

void SetFrameLook(ShapePainter& painter, int32_t style, COLORREF fill) {
  if (painter.style != style) {
    painter.style = style;
    painter.ReleaseGeometry();
  }
  painter.borderColour = kFrameColour;
  painter.fillColour = fill;
}

void SetCentredText(TextPainter& text) {
  text.fontSize = kFontSize;
  text.horizontalAlignment = kCentred;
  text.verticalAlignment = kCentred;
}

}  // namespace

QlUiBtnUser::QlUiBtnUser() {
  InitFrame(nameBox);
  InitFrame(buttonStrip);
  SetDefaultLook();
}

std::shared_ptr<QlUiBtnUser> QlUiBtnUser::QlUiBtnUserAt(NsDx2d::D2D_POINT_2F p) {
  auto element = std::make_shared<QlUiBtnUser>();
  element->SetRect({p.x, p.y, p.x + kNewWidth, p.y + kNewHeight});
  return element;
}

void QlUiBtnUser::SetDefaultLook() {
  SetFrameLook(nameBox, kFlatStyle, 0xFFFFFF);
  SetFrameLook(buttonStrip, kRaisedStyle, 0xF0F0F0);
  passwordText.text = "修改密码";
  logoutText.text = "登 出";
  SetCentredText(nameLabel);
  SetCentredText(passwordText);
  SetCentredText(logoutText);
  UpdateLoginLook();
}

void QlUiBtnUser::UpdateLoginLook() {
  nameLabel.text = "-- 请登录 --";
  nameLabel.colour = kPlaceholderColour;
  passwordText.colour = kButtonTextColour;
  logoutText.colour = kButtonTextColour;
}

void QlUiBtnUser::SetRect(const D2D_RECT_F& r) {
  rect = r;
  const float L = r.left, T = r.top, R = r.right, B = r.bottom;

  nameBox.cornerRadius = 4.0f;
  nameBox.rect = {L, T + 2.0f, R - kLogoutWidth, B};
  nameBox.ReleaseGeometry();

  buttonStrip.cornerRadius = 4.0f;
  buttonStrip.rect = {R - kStripWidth, T, R, B};
  buttonStrip.bevelWidth = 1.0f;
  buttonStrip.ReleaseGeometry();

  nameLabel.rect = {L, T, R - kStripWidth, B};
  passwordText.rect = {R - kStripWidth, T, R - kLogoutWidth, B};
  // One unit over the separator, one short of the right edge.
  logoutText.rect = {R - kLogoutWidth - 1.0f, T, R - 1.0f, B};
}

void QlUiBtnUser::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;
  nameBox.Fill(d2);
  nameBox.Draw(d2);
  buttonStrip.Fill(d2);
  buttonStrip.Draw(d2);

  const float x = rect.right - kLogoutWidth;
  if (NsDx2d::SolidColorBrush* brush = d2.brushCache->GetBrush(kSeparatorColour, 1.0f))
    d2.renderTarget->DrawLine({x, rect.top + 1.0f}, {x, rect.bottom}, *brush, 1.0f);

  nameLabel.Draw(d2);
  passwordText.Draw(d2);
  logoutText.Draw(d2);
}

std::shared_ptr<QlUiBtnUser> QlUiBtnUser::Clone() const { return std::make_shared<QlUiBtnUser>(*this); }

}  // namespace NsOvrin::NsQlUiElem
