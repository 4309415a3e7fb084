#include "app/QlEElemFact.h"

#include "app/AppGlobals.h"
#include "editor/QlEHostFactory.h"

namespace NsOvrin {

unsigned int QlEElemFact::ElemToolToType(uint32_t toolId) {
  if (toolId < kToolFirstElem || toolId > kToolLastElem) return 0;
  return toolId - kToolPointer;
}

bool QlEElemFact::IsArmed() { return ElemToolToType(CurrentToolId) != 0; }

std::shared_ptr<NsUiD2ElemEditor::UiElem> QlEElemFact::Create(const NsDx2d::D2D_POINT_2F& point) {
  return NsQlElemEditor::CreateNewElem(ElemToolToType(CurrentToolId), point);
}

void QlEElemFact::Done() {
  CurrentToolId = kToolPointer;
  if (ElementToolbar) ElementToolbar->repaint();
}

}  // namespace NsOvrin
