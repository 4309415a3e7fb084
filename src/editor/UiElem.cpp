#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor {

void UiElem::MoveBy(float dx, float dy) {
  if (!host) return;
  D2D_RECT_F moved = host->GetRect();
  moved.left += dx;
  moved.right += dx;
  moved.top += dy;
  moved.bottom += dy;
  host->SetRect(moved);
  rect = host->GetRect();
}

void UiElem::RefreshRect() {
  if (host) rect = host->GetRect();
}

std::shared_ptr<UiElem> CloneUiElem(const std::shared_ptr<UiElem>& elem) {
  if (!elem || !elem->host) return nullptr;
  std::shared_ptr<TUiHost> copy = elem->host->Clone();
  if (!copy) return nullptr;
  return std::make_shared<UiElem>(std::move(copy));
}

}  // namespace NsOvrin::NsUiD2ElemEditor
