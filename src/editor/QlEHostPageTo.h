#pragma once
// Host of a page-jump button (type 5). Its target follows page renames.
#include <memory>
#include <string>

#include "QlUiElem/QlUiButton.h"
#include "editor/HostPageListener.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlPageToIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostPageTo : public QlEHostOf<NsQlUiElem::QlUiButton, NsQlElemIo::QlPageToIo>,
                      public HostPageListener {
 public:
  // A new "页面跳转" button at the point leading to the home page, checked.
  explicit QlEHostPageTo(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostPageTo(std::shared_ptr<NsQlUiElem::QlUiButton> ui,
                std::shared_ptr<NsQlElemIo::QlPageToIo> io);

  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemPageTo; }
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;

  // A target of exactly the old name takes the new one, whatever the jump
  // type.
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override;

 protected:
  // "上一页", "首页" or the target page.
  bool GetAddressLabel(std::string& text) const override;
};

}  // namespace NsOvrin::NsQlElemEditor
