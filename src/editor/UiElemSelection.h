#pragma once
// The selected elements of one canvas: the members in the order they were
// selected, the anchored one among them (the reference of the align and
// size commands and the element the property pages load) and their
// bounding box. Every member's host has its selected flag set; when there
// are members exactly one of them is anchored.
#include <cstddef>
#include <memory>
#include <vector>

#include "dx2d/D2Types.h"
#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor {

// A rectangle without width or without height.
bool IsEmptyRect(const D2D_RECT_F& rect);
// The smallest rectangle around both; an empty one does not count, so
// zero-width and zero-height elements never widen a box.
D2D_RECT_F UnionRect(const D2D_RECT_F& box, const D2D_RECT_F& rect);

class UiElemSelection {
 public:
  // Deselects every member; the cached rectangles stay as they are.
  void Clear();
  // Appends without a membership test: callers test the host's selected
  // flag first. The first member added while none is anchored is anchored.
  void Add(const std::shared_ptr<UiElem>& elem);
  // The anchored member going makes the first remaining one anchored.
  void Remove(const std::shared_ptr<UiElem>& elem);
  // Adds the element when its host is not selected; false when it already
  // was the anchored member.
  bool SetAnchored(const std::shared_ptr<UiElem>& elem);
  // The rubber band and paste: exactly these, the first anchored.
  void ReplaceAll(std::vector<std::shared_ptr<UiElem>> elems);
  void RecomputeBox();
  // Moves every member; the box is shifted, not measured again.
  void MoveBy(float dx, float dy);
  // The anchored element's width and/or height for every other member, each
  // keeping its top-left corner. False with fewer than two members.
  bool MakeSameSize(bool sameWidth, bool sameHeight);
  // Equal gaps between three or more members, the outer ones staying put.
  // False with fewer than three members.
  bool DistributeHorizontally();
  bool DistributeVertically();

  const std::vector<std::shared_ptr<UiElem>>& GetMembers() const { return members_; }
  const std::shared_ptr<UiElem>& GetAnchored() const { return anchored_; }
  const D2D_RECT_F& GetBox() const { return box_; }
  bool IsEmpty() const { return members_.empty(); }
  std::size_t Count() const { return members_.size(); }

 private:
  // Cached rectangle refreshed, anchored flag set, host selected.
  void MakeAnchored(const std::shared_ptr<UiElem>& elem);

  std::vector<std::shared_ptr<UiElem>> members_;
  std::shared_ptr<UiElem> anchored_;
  D2D_RECT_F box_;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
