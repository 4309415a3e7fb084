#pragma once
// Host of a navigation bar (type 8). The pages its tabs lead to follow page
// renames; the tab labels are the user's and stay as they are.
#include <memory>
#include <string>

#include "QlUiElem/QlUiNavBar.h"
#include "editor/HostPageListener.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlNavBarIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostNavBar : public QlEHostOf<NsQlUiElem::QlUiNavBar, NsQlElemIo::QlNavBarIo>,
                      public HostPageListener {
 public:
  // A new bar of four tabs at the point without target pages, checked.
  explicit QlEHostNavBar(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostNavBar(std::shared_ptr<NsQlUiElem::QlUiNavBar> ui,
                std::shared_ptr<NsQlElemIo::QlNavBarIo> io);

  // The frame follows with square corners, built again at the next draw.
  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemNavBar; }
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;

  // Every target of exactly the old name takes the new one.
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override;
};

}  // namespace NsOvrin::NsQlElemEditor
