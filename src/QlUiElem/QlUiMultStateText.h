#pragma once
// A multi-state text: one of several texts, each with its own look, chosen
// by a number read from a device. The record holds the looks and the index
// of the one shown; the binding holds the address and the value of each
// state in the same order. Online the host sets the index from the value
// read (-1 when no state matches); a new or loaded element shows state 0.
#include <cstdint>
#include <memory>
#include <vector>

#include "QlUiElem/MultStateItem.h"
#include "QlUiElem/QlUiElem.h"

namespace NsOvrin::NsQlUiElem {

class QlUiMultStateText : public QlUiElem {
 public:
  QlUiMultStateText() = default;

  // The current state's fill (unless transparent) and text, the text inset
  // 3 across and 1 down. Nothing for an index outside the states.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return rect; }

  // The look of state index; the default look for an index outside the
  // states.
  const MultStateItem& GetStateItem(int32_t index) const;

  // Every field, the base's and every state's included.
  std::shared_ptr<QlUiMultStateText> Clone() const;

  D2D_RECT_F rect;
  // Index of the state shown; not stored with the page.
  int32_t currentState = 0;
  std::vector<MultStateItem> states;

 protected:
  QlUiMultStateText(const QlUiMultStateText&) = default;
  QlUiMultStateText& operator=(const QlUiMultStateText&) = default;
};

}  // namespace NsOvrin::NsQlUiElem
