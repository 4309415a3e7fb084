#pragma once
// Host of a button (type 4): shows the bit at its read address online, the
// OFF look in design mode. The two helpers below are shared by every host
// whose record is a button.
#include <memory>
#include <string>

#include "QlUiElem/QlUiButton.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlButtonIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

// A raised button 95 by 36 at the point, corner radius 4, with that OFF
// text.
std::shared_ptr<NsQlUiElem::QlUiButton> MakeButtonRecordAt(D2D_POINT_2F point,
                                                           const std::string& text);
// The record's and the painter's rectangle, corner radius 4; the painter
// builds its shape again.
void SetButtonRect(NsQlUiElem::QlUiButton& button, const D2D_RECT_F& rect);

class QlEHostButton : public QlEHostOf<NsQlUiElem::QlUiButton, NsQlElemIo::QlButtonIo> {
 public:
  // A new "OFF"/"ON" button at the point, checked.
  explicit QlEHostButton(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostButton(std::shared_ptr<NsQlUiElem::QlUiButton> ui,
                std::shared_ptr<NsQlElemIo::QlButtonIo> io);

  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemButton; }
  bool Refresh() override;
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
  void OnModeChanged() override;

 protected:
  // The address or addresses the button reads and writes, "---" for an
  // empty one.
  bool GetAddressLabel(std::string& text) const override;

 private:
  // The binding's own force flag has no setter (only its Bind raises it), so
  // entering online mode arms this one; the next successful read reports a
  // change.
  bool forceRead_ = false;
};

}  // namespace NsOvrin::NsQlElemEditor
