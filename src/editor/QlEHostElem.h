#pragma once
// Base of the element hosts, one per element kind: access to the element's
// record and IO binding, their validation, the record's selection mark and
// the online switch, on top of what the canvas asks of every host.
#include <memory>
#include <string>

#include "QlUiElem/QlUiElem.h"
#include "QlUiElem/QlUiElemDef.h"
#include "editor/EditorGlobals.h"
#include "editor/TUiHost.h"
#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_RECT_F;
using NsDx2d::D2ResInfo;
using NsQlElemIo::QlIo;
using NsQlUiElem::QlUiElem;

// The check of a binding that most kinds share. False without a binding,
// the record untouched. Otherwise the record's error flag follows the
// outcome; a failure's message (written into message, or into a local text
// without one) becomes the record's error text when it differs from it.
bool CheckElemIo(QlUiElem* ui, QlIo* io, std::string* message);

class QlEHostElem : public NsUiD2ElemEditor::TUiHost {
 public:
  // Stores the flag and hands it on to the record.
  void SetSelected(bool on) override;
  // The error tip of a selected element, above every element of the page.
  void DrawOverlay(const D2ResInfo& d2) override;

  // Copies of the shared pointers; either may be empty.
  virtual std::shared_ptr<QlUiElem> GetUi() const = 0;
  virtual std::shared_ptr<QlIo> GetIo() const = 0;
  // Binds the IO again, then validates; true when binding succeeded.
  virtual bool Revalidate() = 0;
  // Binds the IO again without validating, for a caller that checks next;
  // true when binding succeeded.
  virtual bool Rebind() = 0;
  // Validates without binding; the first failure's text goes into message
  // when one is given.
  virtual bool Check(std::string* message) = 0;
  // A selected record hides its small error mark.
  virtual void SetUiSelected(bool on) = 0;
  // HostOnlineFlag changed. Most kinds do nothing.
  virtual void OnModeChanged() {}

  // A small grey label in the bottom-left corner of the element.
  void DrawAddressLabel(const D2ResInfo& d2, const std::string& text) const;

 protected:
  // The last steps of every Clone: the copy is not selected (its record
  // came with the source's flag), then it is validated.
  static std::shared_ptr<NsUiD2ElemEditor::TUiHost> FinishClone(std::shared_ptr<QlEHostElem> copy);
};

// What the hosts share beyond the interface: the record and binding of
// their kind's classes, either possibly empty, and the common variants of
// the operations (plain revalidation, shared check, no live data).
template <typename TUi, typename TIo>
class QlEHostOf : public QlEHostElem {
 public:
  QlEHostOf() = default;
  QlEHostOf(std::shared_ptr<TUi> ui, std::shared_ptr<TIo> io)
      : _qlUi(std::move(ui)), _qlIo(std::move(io)) {}

  D2D_RECT_F GetRect() const override { return _qlUi ? _qlUi->GetRect() : D2D_RECT_F{}; }

  // The record with its error mark, then the address label of kinds that
  // have one.
  void Draw(const D2ResInfo& d2) override {
    if (!_qlUi) return;
    _qlUi->DrawWithErrorMark(d2);
    std::string label;
    if (ShowIoAddr && _qlIo && GetAddressLabel(label)) DrawAddressLabel(d2, label);
  }

  bool Refresh() override { return false; }

  std::shared_ptr<QlUiElem> GetUi() const override { return _qlUi; }
  std::shared_ptr<QlIo> GetIo() const override { return _qlIo; }

  bool Revalidate() override {
    const bool bound = Rebind();
    CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
    return bound;
  }

  bool Rebind() override { return _qlIo ? _qlIo->Bind() : false; }

  bool Check(std::string* message) override {
    return CheckElemIo(_qlUi.get(), _qlIo.get(), message);
  }

  void SetUiSelected(bool on) override {
    if (_qlUi) _qlUi->selected = on;
  }

  std::shared_ptr<TUi> _qlUi;
  std::shared_ptr<TIo> _qlIo;

 protected:
  // The label text of kinds that have one; false for the others. Called
  // only with a binding.
  virtual bool GetAddressLabel(std::string& /*text*/) const { return false; }
};

}  // namespace NsOvrin::NsQlElemEditor
