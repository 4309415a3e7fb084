#pragma once
// Making the editor's elements: a new one of a kind at a point (the insert
// tool), or a wrapper around a loaded one.
#include <memory>

#include "QlUiElem/QlElemData.h"
#include "dx2d/D2Types.h"
#include "editor/UiElem.h"

namespace NsOvrin::NsQlElemEditor {

// A new wrapper (no handle, not anchored) around a host of that type code
// with the kind's defaults at the point, already checked as its kind is at
// creation; HostOnlineFlag takes the node database's run flag. Empty, and
// nothing touched, for a kind without a host.
std::shared_ptr<NsUiD2ElemEditor::UiElem> CreateNewElem(unsigned int type,
                                                        NsDx2d::D2D_POINT_2F point);

// A new wrapper (no handle, not anchored) around a host of the element's
// kind that shares the loaded record and binding; nothing is checked, the
// caller validates the whole page. Empty for an element without a record,
// for a record that is not of its kind's class, and for a kind without a
// host. A binding of another class counts as none.
std::shared_ptr<NsUiD2ElemEditor::UiElem> CreateElemFromData(const NsQlUiElem::QlElemData& data);

}  // namespace NsOvrin::NsQlElemEditor
