#include "editor/UiElemCont.h"

#include <algorithm>

namespace NsOvrin::NsUiD2ElemEditor {

void UiElemCont::RemoveElems(const std::vector<std::shared_ptr<UiElem>>& removed) {
  for (const auto& elem : removed) {
    const auto it = std::find(elems.begin(), elems.end(), elem);
    if (it != elems.end()) elems.erase(it);
  }
}

}  // namespace NsOvrin::NsUiD2ElemEditor
