// The canvas commands: arrow keys and Delete, the element clipboard, align,
// same size, distribute and drawing order.
#include "editor/UiElemCanvasCommands.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "editor/QlEPage.h"
#include "editor/UiElemCanvas.h"
#include "editor/UiElemClipboard.h"
#include "editor/UiElemSelListener.h"

namespace NsOvrin::NsUiD2ElemEditor {

namespace {

// Arrow keys move by this much.
constexpr float kKeyStep = 3.0f;
// A paste into the page of the originals lands this far right and down.
constexpr float kPasteOffset = 6.0f;

using Elems = std::vector<std::shared_ptr<UiElem>>;

D2D_RECT_F HostRect(const UiElem& elem) { return elem.host ? elem.host->GetRect() : D2D_RECT_F{}; }

void SetHostRect(UiElem& elem, const D2D_RECT_F& rect) {
  if (!elem.host) return;
  elem.host->SetRect(rect);
  elem.RefreshRect();
}

// One axis of a rectangle, so that one routine distributes both ways.
struct Axis {
  float D2D_RECT_F::*low;
  float D2D_RECT_F::*high;
};

bool Distribute(const Elems& members, Axis axis) {
  if (members.size() < 3) return false;
  Elems sorted = members;
  // Equal edges keep their selection order.
  std::stable_sort(sorted.begin(), sorted.end(), [axis](const auto& a, const auto& b) {
    return HostRect(*a).*axis.low < HostRect(*b).*axis.low;
  });
  float gapSum = 0.0f;
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    gapSum += HostRect(*sorted[i]).*axis.low - HostRect(*sorted[i - 1]).*axis.high;
  }
  const float meanGap = gapSum / static_cast<float>(sorted.size() - 1);
  for (std::size_t i = 1; i < sorted.size(); ++i) {
    // The previous member's edge as its host placed it.
    const float previousHigh = HostRect(*sorted[i - 1]).*axis.high;
    D2D_RECT_F r = HostRect(*sorted[i]);
    const float extent = r.*axis.high - r.*axis.low;
    r.*axis.low = previousHigh + meanGap;
    r.*axis.high = r.*axis.low + extent;
    SetHostRect(*sorted[i], r);
  }
  return true;
}

}  // namespace

const char* CanvasCommandText(int id) {
  switch (id) {
    case kCmdAlignLeft: return "左对齐\n左对齐";
    case kCmdAlignRight: return "右对齐\n右对齐";
    case kCmdAlignTop: return "上对齐\n上对齐";
    case kCmdAlignBottom: return "下对齐\n下对齐";
    case kCmdDistributeHorz: return "平分多个控件水平间隔\n平分水平间隔";
    case kCmdDistributeVert: return "平分多个控件垂直间隔\n平分垂直间隔";
    case kCmdSameWidth: return "使控件等宽\n等宽";
    case kCmdSameHeight: return "使控件等高\n等高";
    case kCmdSameSize: return "使控件等尺寸\n等尺寸";
    case kCmdMoveToBottom: return "移动到底层\n移动到底层";
    case kCmdMoveToTop: return "移动到顶层\n移动到顶层";
    case ID_EDIT_COPY: return "复制所选内容，将其放入剪贴板\n复制";
    case ID_EDIT_CUT: return "剪切所选内容，将其放入剪贴板\n剪切";
    case ID_EDIT_PASTE: return "插入剪贴板内容\n粘贴";
    default: return nullptr;
  }
}

void KeepElemsInsidePage(const D2D_RECT_F& pageRect, const Elems& group) {
  bool any = false;
  D2D_RECT_F box;
  for (const auto& elem : group) {
    if (!elem) continue;
    const D2D_RECT_F r = HostRect(*elem);
    if (!any) {
      box = r;
      any = true;
      continue;
    }
    box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
           std::max(box.bottom, r.bottom)};
  }
  if (box.right <= pageRect.right && box.bottom <= pageRect.bottom) return;
  const float dx = box.right > pageRect.right ? pageRect.right - box.right : 0.0f;
  const float dy = box.bottom > pageRect.bottom ? pageRect.bottom - box.bottom : 0.0f;
  const float newLeft = std::max(box.left + dx, pageRect.left);
  const float newTop = std::max(box.top + dy, pageRect.top);
  for (const auto& elem : group) {
    if (elem) elem->MoveBy(newLeft - box.left, newTop - box.top);
  }
}

Elems UiElemClipboard::CloneForPaste(const std::string& targetPage,
                                     const D2D_RECT_F& pageRect) const {
  Elems clones;
  for (const auto& elem : elements) {
    // An element whose copy cannot be made is left out rather than pasted
    // as an empty wrapper.
    if (std::shared_ptr<UiElem> clone = CloneUiElem(elem)) clones.push_back(std::move(clone));
  }
  if (targetPage == sourcePage) {
    for (const auto& clone : clones) clone->MoveBy(kPasteOffset, kPasteOffset);
  }
  KeepElemsInsidePage(pageRect, clones);
  return clones;
}

// ---- selection ----

bool UiElemSelection::MakeSameSize(bool sameWidth, bool sameHeight) {
  if (members_.size() < 2 || !anchored_) return false;
  const D2D_RECT_F reference = HostRect(*anchored_);
  // An anchored element with no width or height (a page file may hold one)
  // must not take the others' away.
  const float width = std::max(reference.right - reference.left, UiElem::kMinSize);
  const float height = std::max(reference.bottom - reference.top, UiElem::kMinSize);
  for (const auto& member : members_) {
    if (member == anchored_ || !member->host) continue;
    // The width first, then the height of what the host kept.
    if (sameWidth) {
      D2D_RECT_F r = member->host->GetRect();
      r.right = r.left + width;
      SetHostRect(*member, r);
    }
    if (sameHeight) {
      D2D_RECT_F r = member->host->GetRect();
      r.bottom = r.top + height;
      SetHostRect(*member, r);
    }
  }
  return true;
}

bool UiElemSelection::DistributeHorizontally() {
  return Distribute(members_, {&D2D_RECT_F::left, &D2D_RECT_F::right});
}

bool UiElemSelection::DistributeVertically() {
  return Distribute(members_, {&D2D_RECT_F::top, &D2D_RECT_F::bottom});
}

// ---- canvas ----

void UiElemCanvas::OnKeyUp(uint32_t key) {
  const D2D_RECT_F& box = selection_.GetBox();
  switch (key) {
    case kVkLeft:
    case kVkUp: {
      const float room = (key == kVkLeft ? box.left : box.top) - kPageOrigin;
      if (room < 0.0f) return;
      // Stop exactly on the margin.
      const float step = room < kKeyStep ? -room : -kKeyStep;
      if (key == kVkLeft) {
        selection_.MoveBy(step, 0.0f);
      } else {
        selection_.MoveBy(0.0f, step);
      }
      break;
    }
    case kVkRight: selection_.MoveBy(kKeyStep, 0.0f); break;
    case kVkDown: selection_.MoveBy(0.0f, kKeyStep); break;
    case kVkDelete: DeleteSelection(); return;
    default: return;
  }
  MarkModified();
  Paint();
}

void UiElemCanvas::DeleteSelection() {
  if (!page_ || selection_.IsEmpty()) return;
  UiElemSelListener::NotifySelectionCleared();
  const Elems deleted = selection_.GetMembers();
  selection_.Clear();
  Elems& clipboard = UiElemClipboard::Instance().elements;
  for (const auto& elem : deleted) {
    const auto it = std::find(clipboard.begin(), clipboard.end(), elem);
    if (it != clipboard.end()) clipboard.erase(it);
  }
  if (page_->elements) page_->elements->RemoveElems(deleted);
  MarkModified();
  Paint();
}

void UiElemCanvas::Copy() {
  UiElemClipboard& clipboard = UiElemClipboard::Instance();
  clipboard.sourcePage = GetPageName();
  clipboard.elements = selection_.GetMembers();
}

void UiElemCanvas::Cut() {
  if (!page_) return;
  UiElemSelListener::NotifySelectionCleared();
  UiElemClipboard& clipboard = UiElemClipboard::Instance();
  clipboard.sourcePage = page_->name;
  clipboard.elements = selection_.GetMembers();
  if (page_->elements) page_->elements->RemoveElems(clipboard.elements);
  selection_.Clear();
  MarkModified();
  Paint();
}

void UiElemCanvas::Paste() {
  // Without a page there is nowhere to put the copies.
  if (!page_ || !page_->elements) return;
  const D2D_RECT_F pageRect{kPageOrigin, kPageOrigin, pageWidth_ + kPageOrigin,
                            pageHeight_ + kPageOrigin};
  Elems clones = UiElemClipboard::Instance().CloneForPaste(GetPageName(), pageRect);
  selection_.ReplaceAll(clones);
  Elems& elems = page_->elements->elems;
  elems.insert(elems.end(), clones.begin(), clones.end());
  if (clones.empty()) {
    UiElemSelListener::NotifyPageSelected(page_);
  } else {
    UiElemSelListener::NotifySelectionChanged(selection_);
  }
  MarkModified();
  Paint();
}

bool UiElemCanvas::AlignMembers(int id) {
  const Elems& members = selection_.GetMembers();
  if (members.size() < 2 || !selection_.GetAnchored()) return false;
  // Read once: the anchored element is aligned too.
  const D2D_RECT_F ref = HostRect(*selection_.GetAnchored());
  for (const auto& member : members) {
    if (!member->host) continue;
    const D2D_RECT_F r = member->host->GetRect();
    const float w = r.right - r.left;
    const float h = r.bottom - r.top;
    D2D_RECT_F aligned = r;
    switch (id) {
      case kCmdAlignLeft: aligned = {ref.left, r.top, ref.left + w, r.bottom}; break;
      case kCmdAlignRight: aligned = {ref.right - w, r.top, ref.right, r.bottom}; break;
      case kCmdAlignTop: aligned = {r.left, ref.top, r.right, ref.top + h}; break;
      case kCmdAlignBottom: aligned = {r.left, ref.bottom - h, r.right, ref.bottom}; break;
      default: return false;
    }
    SetHostRect(*member, aligned);
  }
  return true;
}

void UiElemCanvas::MakeSameWidth() {
  if (selection_.MakeSameSize(true, false)) MarkModified();
}

bool UiElemCanvas::MoveToBottom() {
  if (selection_.Count() != 1 || !page_ || !page_->elements) return false;
  Elems& elems = page_->elements->elems;
  const auto it = std::find(elems.begin(), elems.end(), selection_.GetMembers().front());
  if (it == elems.end()) return false;
  std::rotate(elems.begin(), it, it + 1);
  MarkModified();
  return true;
}

bool UiElemCanvas::MoveToTop() {
  if (selection_.Count() != 1 || !page_ || !page_->elements) return false;
  Elems& elems = page_->elements->elems;
  const auto it = std::find(elems.begin(), elems.end(), selection_.GetMembers().front());
  if (it == elems.end()) return false;
  std::rotate(it, it + 1, elems.end());
  MarkModified();
  return true;
}

bool UiElemCanvas::CanReorder() const {
  return page_ && page_->elements && page_->elements->elems.size() >= 2 && !selection_.IsEmpty();
}

void UiElemCanvas::ExecuteCommand(int id) {
  bool acted = false;
  switch (id) {
    case kCmdAlignLeft:
    case kCmdAlignRight:
    case kCmdAlignTop:
    case kCmdAlignBottom: acted = AlignMembers(id); break;
    case kCmdDistributeHorz: acted = selection_.DistributeHorizontally(); break;
    case kCmdDistributeVert: acted = selection_.DistributeVertically(); break;
    case kCmdSameWidth: MakeSameWidth(); break;
    case kCmdSameHeight: acted = selection_.MakeSameSize(false, true); break;
    case kCmdSameSize: acted = selection_.MakeSameSize(true, true); break;
    case kCmdMoveToBottom: MoveToBottom(); break;
    case kCmdMoveToTop: MoveToTop(); break;
    default: return;
  }
  if (acted) MarkModified();
  Paint();
}

bool UiElemCanvas::IsCommandEnabled(int id) const {
  const std::size_t count = selection_.Count();
  switch (id) {
    case kCmdAlignLeft:
    case kCmdAlignRight:
    case kCmdAlignTop:
    case kCmdAlignBottom:
    case kCmdSameWidth:
    case kCmdSameHeight:
    case kCmdSameSize: return count >= 2;
    case kCmdDistributeHorz:
    case kCmdDistributeVert: return count >= 3;
    case kCmdMoveToBottom:
    case kCmdMoveToTop: return CanReorder();
    case ID_EDIT_COPY:
    case ID_EDIT_CUT: return page_ != nullptr && count >= 1;
    case ID_EDIT_PASTE: return page_ != nullptr && !UiElemClipboard::Instance().elements.empty();
    default: return false;
  }
}

}  // namespace NsOvrin::NsUiD2ElemEditor
