#include "editor/QlEHostElem.h"

#include "dx2d/BrushCache.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsDx2d::COLORREF;

constexpr COLORREF kLabelColour = 0xF0F0F0;
constexpr float kLabelOpacity = 0.6f;
constexpr COLORREF kLabelTextColour = 0x000000;
constexpr float kLabelTextOpacity = 0.9f;
constexpr int kLabelFontSize = 60;

}  // namespace

bool CheckElemIo(QlUiElem* ui, QlIo* io, std::string* message) {
  if (io == nullptr) return false;
  std::string local;
  std::string& text = message != nullptr ? *message : local;
  const bool ok = io->Check(&text);
  if (ui != nullptr) {
    if (ok) {
      ui->inError = false;
    } else {
      ui->inError = true;
      // Same text: the measured size still holds.
      ui->SetErrorText(text);
    }
  }
  return ok;
}

void QlEHostElem::SetSelected(bool on) {
  TUiHost::SetSelected(on);
  SetUiSelected(on);
}

void QlEHostElem::DrawOverlay(const D2ResInfo& d2) {
  const std::shared_ptr<QlUiElem> ui = GetUi();
  if (ui && IsSelected()) ui->DrawErrorTip(d2);
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostElem::FinishClone(
    std::shared_ptr<QlEHostElem> copy) {
  copy->SetSelected(false);
  copy->Revalidate();
  return copy;
}

void QlEHostElem::DrawAddressLabel(const D2ResInfo& d2, const std::string& text) const {
  if (d2.renderTarget == nullptr || d2.brushCache == nullptr) return;
  const D2D_RECT_F rect = GetRect();
  const D2D_RECT_F box{rect.left + 2.0f, rect.bottom - 14.0f, rect.left + 60.0f,
                       rect.bottom - 1.0f};
  if (NsDx2d::SolidColorBrush* fill = d2.brushCache->GetBrush(kLabelColour, kLabelOpacity))
    d2.renderTarget->FillRectangle(box, *fill);
  if (text.empty() || d2.textFormatCache == nullptr) return;
  NsDx2d::TextFormat* format = d2.textFormatCache->GetFormat(kLabelFontSize);
  if (format == nullptr) return;
  NsDx2d::SolidColorBrush* ink = d2.brushCache->GetBrush(kLabelTextColour, kLabelTextOpacity);
  if (ink == nullptr) return;
  // Not clipped: a two-line text simply runs over the box.
  d2.renderTarget->DrawText(text, *format, box, *ink);
}

}  // namespace NsOvrin::NsQlElemEditor
