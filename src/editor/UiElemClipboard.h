#pragma once
// The one element clipboard of all page views. It holds the copied or cut
// wrappers themselves, so an element edited before pasting is pasted as
// edited, and an element deleted from its page leaves the clipboard.
#include <memory>
#include <string>
#include <vector>

#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor {

class UiElemClipboard {
 public:
  UiElemClipboard(const UiElemClipboard&) = delete;
  UiElemClipboard& operator=(const UiElemClipboard&) = delete;

  static UiElemClipboard& Instance();

  std::vector<std::shared_ptr<UiElem>> elements;
  // The page they were taken from; empty at start.
  std::string sourcePage;

 private:
  UiElemClipboard() = default;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
