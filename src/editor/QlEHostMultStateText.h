#pragma once
// Host of a multi-state text (type 10): online it shows the state whose
// value equals the number read, in design mode state 0. It also keeps the
// record's states and the binding's state values in step for the property
// page: value i belongs to state i.
#include <cstdint>
#include <memory>
#include <string>

#include "QlUiElem/MultStateItem.h"
#include "QlUiElem/QlUiMultStateText.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlMultStateTextIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostMultStateText
    : public QlEHostOf<NsQlUiElem::QlUiMultStateText, NsQlElemIo::QlMultStateTextIo> {
 public:
  // A new text 60 by 26 at the point with the one state "文字1" of value 0,
  // checked.
  explicit QlEHostMultStateText(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostMultStateText(std::shared_ptr<NsQlUiElem::QlUiMultStateText> ui,
                       std::shared_ptr<NsQlElemIo::QlMultStateTextIo> io);

  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemMultiStateLabel; }
  bool Refresh() override;
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
  void OnModeChanged() override;

  // Value i as its kind prints it; "" without a binding or outside the values.
  std::string GetStateValueText(int32_t index) const;
  // The text of state i; "" without a record or outside the states.
  std::string GetStateText(int32_t index) const;
  // Appends a state with the value the text gives (see the binding's
  // FindStateByValueText; the 16-bit kinds keep the low 16 bits). False,
  // nothing changed, without record or binding or when a state already has
  // that value. A kind outside 1-4 appends the state without a value.
  bool AddState(const std::string& valueText, const NsQlUiElem::MultStateItem& item);
  // Removes the first state with the value the text gives and its value.
  // False without record or binding, for a kind outside 1-4 and when no
  // state has that value.
  bool RemoveState(const std::string& valueText);

 protected:
  // The read address.
  bool GetAddressLabel(std::string& text) const override;
};

}  // namespace NsOvrin::NsQlElemEditor
