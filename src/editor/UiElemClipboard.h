#pragma once
// The one element clipboard of all page views. It holds the copied or cut
// wrappers themselves, so an element edited before pasting is pasted as
// edited, and an element deleted from its page leaves the clipboard.
#include <memory>
#include <string>
#include <vector>

#include "dx2d/D2Types.h"
#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor {

class UiElemClipboard {
 public:
  UiElemClipboard(const UiElemClipboard&) = delete;
  UiElemClipboard& operator=(const UiElemClipboard&) = delete;

  static UiElemClipboard& Instance();

  // New copies of the elements, 6 units right and down when pasted into the
  // page they came from, and moved back inside the page rectangle when they
  // stick out on the right or bottom.
  std::vector<std::shared_ptr<UiElem>> CloneForPaste(const std::string& targetPage,
                                                     const NsDx2d::D2D_RECT_F& pageRect) const;

  std::vector<std::shared_ptr<UiElem>> elements;
  // The page they were taken from; empty at start.
  std::string sourcePage;

 private:
  UiElemClipboard() = default;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
