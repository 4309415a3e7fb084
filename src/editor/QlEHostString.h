#pragma once
// Host of a string box (type 3): shows the live text online and the
// preview "AABBCCDD" in design mode.
#include <memory>
#include <string>

#include "QlUiElem/QlUiEdit.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlStringIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostString : public QlEHostOf<NsQlUiElem::QlUiEdit, NsQlElemIo::QlStringIo> {
 public:
  // The text a string box shows in design mode.
  static constexpr const char* kPreviewText = "AABBCCDD";

  // A new box 220 by 27 at the point, checked.
  explicit QlEHostString(D2D_POINT_2F point);
  // Shares a loaded record and binding, no check; with both, the record
  // shows the preview.
  QlEHostString(std::shared_ptr<NsQlUiElem::QlUiEdit> ui,
                std::shared_ptr<NsQlElemIo::QlStringIo> io);

  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemString; }
  bool Refresh() override;
  // The copy shows the preview until its binding reports a change.
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
  void OnModeChanged() override;

 protected:
  bool GetAddressLabel(std::string& text) const override;
};

}  // namespace NsOvrin::NsQlElemEditor
