#pragma once
// Host of a static text (type 1).
#include <memory>

#include "QlUiElem/QlUiText.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlTextIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostText : public QlEHostOf<NsQlUiElem::QlUiText, NsQlElemIo::QlTextIo> {
 public:
  // A new text "文字", 60 by 26 at the point, checked.
  explicit QlEHostText(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostText(std::shared_ptr<NsQlUiElem::QlUiText> ui, std::shared_ptr<NsQlElemIo::QlTextIo> io);

  // The text box follows, inset 4 left and right, 2 top and bottom.
  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemText; }
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
};

}  // namespace NsOvrin::NsQlElemEditor
