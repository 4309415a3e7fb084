#include "element_io/QlOvListIo.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "termination/AddrBinder.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsQlUiElem::QlUiButton;

// What the check of a display-only binding of an empty address says.
constexpr const char* kEmptyAddress = "读写地址不能为空!";

// A new binding of the address, bound; its own check tells why when it did
// not bind.
std::shared_ptr<QlButtonIo> BindRow(const std::string& address) {
  std::shared_ptr<QlButtonIo> io = QlButtonIo::QlButtonIoDisplayOnly(address);
  io->Bind();
  return io;
}

// The result of a row's check on its lamp.
void MarkLamp(QlUiButton& lamp, bool passed, const std::string& message) {
  if (passed) {
    lamp.inError = false;
    return;
  }
  lamp.inError = true;
  // A different message is measured again at the next drawing.
  lamp.SetErrorText(message);
}

}  // namespace

QlOvListIo::QlOvListIo(std::shared_ptr<NsQlUiElem::QlUiOvList> ui) : _qlUi(std::move(ui)) {}

QlOvListIo::QlOvListIo(const QlOvListIo& other)
    : QlIo(),
      rowAddresses(other.rowAddresses),
      baseIoData_(other.baseIoData_),
      forceRefresh_(other.forceRefresh_),
      _qlUi(other._qlUi) {
  // Each row of the copy reads and subscribes for itself: a shared binding
  // would let one list's read swallow the change the other is waiting for.
  rowIos_.reserve(other.rowIos_.size());
  for (const std::shared_ptr<QlButtonIo>& io : other.rowIos_) rowIos_.push_back(io ? io->Clone() : nullptr);
  CopyBase(other);
}

std::shared_ptr<QlOvListIo> QlOvListIo::Clone() const { return std::shared_ptr<QlOvListIo>(new QlOvListIo(*this)); }

QlUiButton* QlOvListIo::Lamp(std::size_t row) const {
  if (!_qlUi || row >= _qlUi->statusButtons.size()) return nullptr;
  return _qlUi->statusButtons[row].get();
}

bool QlOvListIo::Bind() {
  forceRefresh_ = true;
  const bool rows = RebuildRowIos();
  const bool visib = BindVisibility();
  return rows && visib;
}

bool QlOvListIo::RebuildRowIos() {
  rowIos_.clear();
  rowIos_.resize(rowAddresses.size());
  for (std::size_t i = 0; i < rowAddresses.size(); ++i) {
    NsTermination::TrimBlanks(rowAddresses[i]);
    if (!rowAddresses[i].empty()) rowIos_[i] = BindRow(rowAddresses[i]);
  }
  return true;
}

void QlOvListIo::SetRowAddress(std::size_t row, const std::string& text) {
  if (row >= rowAddresses.size()) return;
  rowAddresses[row] = text;
  NsTermination::TrimBlanks(rowAddresses[row]);
  if (row >= rowIos_.size()) return;
  rowIos_[row] = BindRow(rowAddresses[row]);
  std::string message;
  const bool passed = rowIos_[row]->Check(&message);
  if (QlUiButton* lamp = Lamp(row)) MarkLamp(*lamp, passed, message);
}

bool QlOvListIo::Check(std::string* message) {
  if (!CheckVisibility(message)) return false;
  if (!_qlUi) {
    if (message != nullptr) *message = "系统错误 _qlUi == nullptr";
    return false;
  }
  const std::size_t lamps = _qlUi->statusButtons.size();
  const std::size_t rows = std::min(rowIos_.size(), lamps);
  bool failed = false;
  for (std::size_t i = 0; i < rows; ++i) {
    std::string rowMessage = kEmptyAddress;
    const bool passed = rowIos_[i] && rowIos_[i]->Check(&rowMessage);
    if (QlUiButton* lamp = Lamp(i)) MarkLamp(*lamp, passed, rowMessage);
    if (passed) continue;
    // The first failing row speaks for the list.
    if (!failed && message != nullptr) *message = rowMessage;
    failed = true;
  }
  for (std::size_t i = rows; i < lamps; ++i) {
    if (QlUiButton* lamp = Lamp(i)) lamp->inError = false;
  }
  return !failed;
}

bool QlOvListIo::ReadRows() {
  if (!_qlUi) return false;
  bool changed = false;
  for (std::size_t i = 0; i < _qlUi->statusButtons.size(); ++i) {
    QlUiButton* lamp = Lamp(i);
    if (lamp == nullptr) continue;
    QlButtonIo* io = i < rowIos_.size() ? rowIos_[i].get() : nullptr;
    if (io != nullptr) {
      uint8_t value = 0;
      bool rowChanged = false;
      if (!io->ReadState(value, rowChanged) || !rowChanged) continue;
      lamp->SetState(value != 0 ? 2 : 0);
      changed = true;
    } else if (lamp->data.state != 0) {
      lamp->SetState(0);
      changed = true;
    }
  }
  return changed;
}

}  // namespace NsOvrin::NsQlElemIo
