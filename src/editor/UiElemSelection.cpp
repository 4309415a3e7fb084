#include "editor/UiElemSelection.h"

#include <algorithm>
#include <utility>

namespace NsOvrin::NsUiD2ElemEditor {
namespace {

void MarkSelected(const std::shared_ptr<UiElem>& elem, bool on) {
  if (elem->host) elem->host->SetSelected(on);
}

D2D_RECT_F HostRect(const UiElem& elem) { return elem.host ? elem.host->GetRect() : D2D_RECT_F{}; }

}  // namespace

bool IsEmptyRect(const D2D_RECT_F& rect) {
  return rect.left == rect.right || rect.top == rect.bottom;
}

D2D_RECT_F UnionRect(const D2D_RECT_F& box, const D2D_RECT_F& rect) {
  // An empty rectangle first: two empty ones leave the box as it is, so a
  // selection of zero-sized elements keeps a zero box.
  if (IsEmptyRect(rect)) return box;
  if (IsEmptyRect(box)) return rect;
  return {std::min(box.left, rect.left), std::min(box.top, rect.top),
          std::max(box.right, rect.right), std::max(box.bottom, rect.bottom)};
}

void UiElemSelection::MakeAnchored(const std::shared_ptr<UiElem>& elem) {
  elem->RefreshRect();
  elem->anchored = true;
  MarkSelected(elem, true);
  anchored_ = elem;
}

void UiElemSelection::Clear() {
  for (const auto& member : members_) {
    MarkSelected(member, false);
    member->anchored = false;
  }
  members_.clear();
  box_ = {};
  anchored_.reset();
}

void UiElemSelection::Add(const std::shared_ptr<UiElem>& elem) {
  if (!elem) return;
  if (anchored_) {
    MarkSelected(elem, true);
    elem->RefreshRect();
    elem->anchored = false;
  } else {
    MakeAnchored(elem);
  }
  members_.push_back(elem);
  box_ = UnionRect(box_, HostRect(*elem));
}

void UiElemSelection::Remove(const std::shared_ptr<UiElem>& elem) {
  if (!elem) return;
  MarkSelected(elem, false);
  elem->anchored = false;
  const auto it = std::find(members_.begin(), members_.end(), elem);
  if (it != members_.end()) members_.erase(it);
  if (anchored_ == elem) anchored_.reset();
  if (!anchored_ && !members_.empty()) MakeAnchored(members_.front());
  RecomputeBox();
}

bool UiElemSelection::SetAnchored(const std::shared_ptr<UiElem>& elem) {
  if (!elem || elem == anchored_) return false;
  if (anchored_) {
    MarkSelected(anchored_, true);
    anchored_->RefreshRect();
    anchored_->anchored = false;
    anchored_.reset();
  }
  if (!elem->host || !elem->host->IsSelected()) Add(elem);
  MakeAnchored(elem);
  return true;
}

void UiElemSelection::ReplaceAll(std::vector<std::shared_ptr<UiElem>> elems) {
  Clear();
  // An empty pointer would break every later walk over the members.
  std::erase(elems, nullptr);
  members_ = std::move(elems);
  for (const auto& member : members_) {
    MarkSelected(member, true);
    member->RefreshRect();
    member->anchored = false;
  }
  if (!members_.empty()) SetAnchored(members_.front());
  RecomputeBox();
}

void UiElemSelection::RecomputeBox() {
  box_ = {};
  for (const auto& member : members_) box_ = UnionRect(box_, HostRect(*member));
}

void UiElemSelection::MoveBy(float dx, float dy) {
  for (const auto& member : members_) member->MoveBy(dx, dy);
  box_.left += dx;
  box_.right += dx;
  box_.top += dy;
  box_.bottom += dy;
}

}  // namespace NsOvrin::NsUiD2ElemEditor
