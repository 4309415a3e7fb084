#pragma once
// The element tool of a page view: the armed tool of the element toolbar
// decides which kind of element a press on the canvas inserts.
#include <cstdint>
#include <memory>

#include "editor/TElemFact.h"

namespace NsOvrin {

// Command ids of the element toolbar: the pointer, then one tool per element
// kind in type-code order (text 32770 ... IO table 32783).
inline constexpr uint32_t kToolPointer = 32769;
inline constexpr uint32_t kToolFirstElem = 32770;
inline constexpr uint32_t kToolLastElem = 32783;

class QlEElemFact : public NsUiD2ElemEditor::TElemFact {
 public:
  // The element type code a tool inserts; 0 for the pointer and any other id.
  static unsigned int ElemToolToType(uint32_t toolId);

  bool IsArmed() override;
  // A new element of the armed kind; empty when the kind has no element.
  std::shared_ptr<NsUiD2ElemEditor::UiElem> Create(const NsDx2d::D2D_POINT_2F& point) override;
  // Back to the pointer; the element toolbar shows it at once.
  void Done() override;
};

}  // namespace NsOvrin
