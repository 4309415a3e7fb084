#pragma once
// Host of a panel (type 6). Static in the editor.
#include <memory>

#include "QlUiElem/QlUiPanel.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlPanelIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostPanel : public QlEHostOf<NsQlUiElem::QlUiPanel, NsQlElemIo::QlPanelIo> {
 public:
  // A new panel "标题", 300 by 160 at the point; not checked.
  explicit QlEHostPanel(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostPanel(std::shared_ptr<NsQlUiElem::QlUiPanel> ui,
               std::shared_ptr<NsQlElemIo::QlPanelIo> io);

  // The outlines are built again for the new rectangle at the next draw.
  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemPanel; }
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
};

}  // namespace NsOvrin::NsQlElemEditor
