#pragma once
// The elements of one open page in drawing order: the first lies at the
// bottom, the last on top.
#include <memory>
#include <vector>

#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor {

class UiElemCont {
 public:
  // The first occurrence of each, by identity; others are ignored.
  void RemoveElems(const std::vector<std::shared_ptr<UiElem>>& removed);

  std::vector<std::shared_ptr<UiElem>> elems;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
