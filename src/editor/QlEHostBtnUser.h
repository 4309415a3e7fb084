#pragma once
// Host of a login element (type 12). Its check looks at the record only;
// its revalidation checks the binding like every other kind.
#include <memory>
#include <string>

#include "QlUiElem/QlUiBtnUser.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlBtnUserIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostBtnUser : public QlEHostOf<NsQlUiElem::QlUiBtnUser, NsQlElemIo::QlBtnUserIo> {
 public:
  // A new login element 340 by 31 at the point, checked.
  explicit QlEHostBtnUser(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostBtnUser(std::shared_ptr<NsQlUiElem::QlUiBtnUser> ui,
                 std::shared_ptr<NsQlElemIo::QlBtnUserIo> io);

  // The buttons and the name field are laid out again.
  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemBtnLogin; }
  // True with a record, whose error mark it clears.
  bool Check(std::string* message) override;
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
};

}  // namespace NsOvrin::NsQlElemEditor
