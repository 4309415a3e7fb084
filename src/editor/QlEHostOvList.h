#pragma once
// Host of an IO table (type 14): rows of a description and a bit address,
// each with a status lamp that follows its bit online. The row errors live
// on the lamps, which the binding marks; the host never marks the record.
#include <memory>
#include <string>

#include "QlUiElem/QlUiOvList.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlOvListIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostOvList : public QlEHostOf<NsQlUiElem::QlUiOvList, NsQlElemIo::QlOvListIo> {
 public:
  // A new table "IO表" 390 by 210 at the point without rows.
  explicit QlEHostOvList(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostOvList(std::shared_ptr<NsQlUiElem::QlUiOvList> ui,
                std::shared_ptr<NsQlElemIo::QlOvListIo> io);

  // The lamps move with their rows.
  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemOVTable; }
  // Online, every lamp follows its row's bit; lamps of rows without a bound
  // address are put out.
  bool Refresh() override;
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;

  // Binds the rows again, then checks them; true when binding succeeded.
  bool Revalidate() override;
  bool Rebind() override;
  // Record, binding, then the binding's check of every row, which marks the
  // lamps; the first failing row's text goes into message.
  bool Check(std::string* message) override;
  // The lamps hide their marks with the record's.
  void SetUiSelected(bool on) override;
  // Online the lamps show their bits at once; offline they are all off.
  void OnModeChanged() override;

  // Description of row index; "" without a record or past the rows.
  std::string GetRowDescription(unsigned int index) const;
  // Address of row index; "" without a binding or past the addresses.
  std::string GetRowAddress(unsigned int index) const;
};

}  // namespace NsOvrin::NsQlElemEditor
