#include "QlUiElem/QlUiButton.h"

#include <algorithm>

#include "dx2d/BitmapCache.h"
#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsQlUiElem {
namespace {

// Where the text of a checkbox starts, right of its box.
constexpr float kCheckboxTextLeft = 28.0f;

std::string TrimBlanks(const std::string& text) {
  constexpr const char* kBlanks = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

void Shift(D2D_RECT_F& rect, float by) {
  rect.left += by;
  rect.top += by;
  rect.right += by;
  rect.bottom += by;
}

// How far a picture sits from the top-left corner, clear of the frame.
float ImageShift(ButtonStyle style, bool stretched) {
  switch (style) {
    case kButtonFlat:
    case kButtonCircular: return stretched ? 1.0f : 3.0f;
    case kButtonRaised: return stretched ? 2.0f : 4.0f;
    default: return 0.0f;
  }
}

}  // namespace

QlUiButton::QlUiButton() {
  painter.cornerRadius = 5.0f;
  painter.borderWidth = 1.0f;
  painter.bevelWidth = 1.3f;
  painter.switchFrameWidth = 1.0f;
  painter.opacity = 1.0f;
  painter.style = 1;
}

int32_t QlUiButton::PainterStyleFor(ButtonStyle borderStyle, int32_t state) {
  switch (borderStyle) {
    case kButtonFlat: return state == 0 ? 0 : 5;
    case kButtonRaised: return state == 0 ? 1 : 0;
    case kButtonCheckbox: return state == 0 || state == 1 ? 2 : 7;
    case kButtonCircular: return 3;
    case kButtonSwitch:
      switch (state) {
        case 1: return 8;
        case 2: return 9;
        case 3: return 10;
        default: return 4;
      }
    default: return state == 0 ? borderStyle : 5;
  }
}

void QlUiButton::SetState(int32_t state) {
  data.state = state;
  const int32_t style = PainterStyleFor(data.borderStyle, state);
  if (style == painter.style) return;
  painter.style = style;
  painter.ReleaseGeometry();
}

std::shared_ptr<QlUiButton> QlUiButton::Clone() const {
  return std::shared_ptr<QlUiButton>(new QlUiButton(*this));
}

void QlUiButton::Draw(const D2ResInfo& d2) {
  if (d2.renderTarget == nullptr || d2.textFormatCache == nullptr || d2.brushCache == nullptr) return;

  // A checkbox keeps its first background: its tick shows the state.
  const bool secondBody = data.borderStyle != kButtonCheckbox && ShowsSecondLook();
  painter.fillColour = secondBody ? data.bkColour2 : data.bkColour;
  painter.opacity = data.bkOpacity;
  painter.Fill(d2);

  DrawImage(d2);
  DrawText(d2);

  // The bevel colours of the frame come from the fill colour.
  painter.fillColour = data.state > 1 ? data.bkColour2 : data.bkColour;
  painter.borderColour = data.borderColour;
  painter.Draw(d2);
}

void QlUiButton::DrawImage(const D2ResInfo& d2) {
  if (data.borderStyle == kButtonSwitch || d2.bitmapCache == nullptr) return;
  const std::string& path = ShowsSecondLook() ? data.imagePath2 : data.imagePath;
  if (path.empty()) return;
  const NsDx2d::BitmapRef bitmap = d2.bitmapCache->GetBitmap(path);

  const bool stretched = data.imageStyle != kImageActualSize;
  D2D_RECT_F dest = data.rect;
  if (!stretched) {
    dest.right = dest.left + static_cast<float>(bitmap.width);
    dest.bottom = dest.top + static_cast<float>(bitmap.height);
  }
  // A pressed look moves one unit further, right and down.
  Shift(dest, ImageShift(data.borderStyle, stretched) + (data.state != 0 ? 1.0f : 0.0f));

  if (bitmap.width == 0 || bitmap.height == 0 || !bitmap.bitmap) return;
  d2.renderTarget->DrawBitmap(*bitmap.bitmap, dest, 1.0f, NsDx2d::BitmapInterpolationMode::Linear);
}

void QlUiButton::DrawText(const D2ResInfo& d2) {
  if (data.borderStyle == kButtonSwitch) return;
  NsDx2d::TextFormat* format = d2.textFormatCache->GetFormat(data.fontSize);
  if (format == nullptr) return;
  // The cached format keeps these for its next user.
  format->SetTextAlignment(data.borderStyle == kButtonCheckbox ? NsDx2d::TextAlignment::Leading
                                                               : NsDx2d::TextAlignment::Center);
  format->SetParagraphAlignment(NsDx2d::ParagraphAlignment::Center);

  const std::string text = TrimBlanks(ShowsSecondLook() ? data.text2 : data.text);
  if (text.empty()) return;

  const D2D_RECT_F& r = data.rect;
  D2D_RECT_F box = r;
  if (data.borderStyle == kButtonCheckbox) {
    box.left = r.left + kCheckboxTextLeft;
  } else if (data.borderStyle == kButtonCircular) {
    const float side = std::min(r.right - r.left, r.bottom - r.top);
    box = {r.left, r.top, r.left + side, r.top + side};
  }
  box.left += 4.0f;
  box.top += 2.0f;
  box.right -= 4.0f;
  box.bottom -= 2.0f;
  if (data.state != 0) Shift(box, 1.0f);

  NsDx2d::SolidColorBrush* brush =
      d2.brushCache->GetBrush(ShowsSecondLook() ? data.textColour2 : data.textColour, 1.0f);
  if (brush == nullptr) return;
  d2.renderTarget->DrawText(text, *format, box, *brush);
}

}  // namespace NsOvrin::NsQlUiElem
