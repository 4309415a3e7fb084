#pragma once
// The binding of an IO list: one bit address per row, each bound, checked
// and read through a display-only button binding of its own. Its checks
// mark the row lamps of the linked element, which shows the message of a
// failing row in the lamp's error tip.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiOvList.h"
#include "element_io/QlButtonIo.h"
#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

class QlOvListIo : public QlIo {
 public:
  // No rows, linked to the element whose lamps its checks mark.
  explicit QlOvListIo(std::shared_ptr<NsQlUiElem::QlUiOvList> ui);

  // Rebuilds the row bindings from the row addresses and binds the
  // visibility address; the next refresh is forced.
  bool Bind() override;
  // The visibility settings, then every row that has a lamp: each lamp is
  // marked or cleared, and the first failing row's message is reported.
  bool Check(std::string* message) override;
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // One bound display-only binding per row address (trimmed in place); an
  // empty address gets none. Always true.
  bool RebuildRowIos();
  // The user edited a row's address: stores it trimmed, and when the row
  // has a binding slot binds it anew and marks or clears its lamp at once.
  // Nothing for a row past the addresses.
  void SetRowAddress(std::size_t row, const std::string& text);

  // An online refresh tick: every lamp whose row has a binding follows its
  // bit (2 when ON, 0 when OFF) when a read reports a change; the other
  // lamps are put out. True when a lamp changed its state.
  bool ReadRows();

  // Settings, row addresses and the link copied; every row binding cloned
  // with a read-task subscription and a read state of its own. The copy
  // stays linked to this binding's element until SetUi pairs it with the
  // copied element.
  std::shared_ptr<QlOvListIo> Clone() const;

  const std::vector<std::shared_ptr<QlButtonIo>>& GetRowIos() const { return rowIos_; }
  bool GetForceRefresh() const { return forceRefresh_; }
  const std::shared_ptr<NsQlUiElem::QlUiOvList>& GetUi() const { return _qlUi; }
  void SetUi(std::shared_ptr<NsQlUiElem::QlUiOvList> ui) { _qlUi = std::move(ui); }

  // Row i's "node.address".
  std::vector<std::string> rowAddresses;

 private:
  // The copy Clone makes.
  QlOvListIo(const QlOvListIo& other);
  // Lamp row, when the element has one; null otherwise.
  NsQlUiElem::QlUiButton* Lamp(std::size_t row) const;

  BaseIoData baseIoData_;
  // Slot i binds row address i; empty for an empty address.
  std::vector<std::shared_ptr<QlButtonIo>> rowIos_;
  bool forceRefresh_ = false;
  std::shared_ptr<NsQlUiElem::QlUiOvList> _qlUi;
};

}  // namespace NsOvrin::NsQlElemIo
