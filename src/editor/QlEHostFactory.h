#pragma once
// Wrapping a loaded element for the editor.
#include <memory>

#include "QlUiElem/QlElemData.h"
#include "editor/UiElem.h"

namespace NsOvrin::NsQlElemEditor {

// A new wrapper (no handle, not anchored) around a host of the element's
// kind that shares the loaded record and binding; nothing is checked, the
// caller validates the whole page. Empty for an element without a record,
// for a record that is not of its kind's class, and for a kind without a
// host. A binding of another class counts as none.
std::shared_ptr<NsUiD2ElemEditor::UiElem> CreateElemFromData(const NsQlUiElem::QlElemData& data);

}  // namespace NsOvrin::NsQlElemEditor
