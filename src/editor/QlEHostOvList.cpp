#include "editor/QlEHostOvList.h"

#include <cstdint>
#include <limits>

#include "editor/EditorGlobals.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlOvListIo;
using NsQlUiElem::QlUiOvList;

QlEHostOvList::QlEHostOvList(D2D_POINT_2F point)
    : QlEHostOf(std::make_shared<QlUiOvList>(), nullptr) {
  _qlUi->table.SetRect({point.x, point.y, point.x + 390.0f, point.y + 210.0f});
  _qlIo = std::make_shared<QlOvListIo>(_qlUi);
  // Without rows there is nothing to report yet.
  std::string message;
  _qlIo->Check(&message);
}

QlEHostOvList::QlEHostOvList(std::shared_ptr<QlUiOvList> ui, std::shared_ptr<QlOvListIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostOvList::SetRect(const D2D_RECT_F& rect) {
  if (!_qlUi) return;
  _qlUi->table.SetRect(rect);
  // Lamp i sits in table row i + 1; rows are 16-bit.
  const auto& lamps = _qlUi->statusButtons;
  for (std::size_t i = 0; i < lamps.size() && i < std::numeric_limits<uint16_t>::max(); ++i)
    _qlUi->PlaceRowButton(lamps[i], static_cast<uint16_t>(i + 1));
}

bool QlEHostOvList::Refresh() {
  if (!HostOnlineFlag || !_qlUi || !_qlIo) return false;
  // A lamp put out also counts as a change: the page must show it dark.
  return _qlIo->ReadRows();
}

bool QlEHostOvList::Revalidate() {
  const bool bound = Rebind();
  Check(nullptr);
  return bound;
}

bool QlEHostOvList::Rebind() { return _qlIo ? _qlIo->Bind() : false; }

bool QlEHostOvList::Check(std::string* message) {
  if (!_qlUi) {
    if (message != nullptr) *message = "系统错误: _qlUi == 0";
    return false;
  }
  if (!_qlIo) {
    if (message != nullptr) *message = "系统错误: _qlIo == 0";
    return false;
  }
  return _qlIo->Check(message);
}

void QlEHostOvList::SetUiSelected(bool on) {
  if (!_qlUi) return;
  _qlUi->selected = on;
  for (const auto& lamp : _qlUi->statusButtons)
    if (lamp) lamp->selected = on;
}

void QlEHostOvList::OnModeChanged() {
  if (HostOnlineFlag) {
    if (!_qlUi || !_qlIo) return;
    // Leaving online mode put the lamps out, but the row bindings still
    // remember the bits they last read and would see a steady bit as no
    // change. Fresh bindings report their first read as one.
    _qlIo->RebuildRowIos();
    Refresh();
    return;
  }
  if (!_qlUi) return;
  for (const auto& lamp : _qlUi->statusButtons)
    if (lamp) lamp->SetState(0);
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostOvList::Clone() const {
  std::shared_ptr<QlUiOvList> ui = _qlUi ? _qlUi->Clone() : nullptr;
  std::shared_ptr<QlOvListIo> io = _qlIo ? _qlIo->Clone() : nullptr;
  // The copy's checks and reads mark its own lamps, not the source's.
  if (io) io->SetUi(ui);
  auto copy = std::make_shared<QlEHostOvList>(std::move(ui), std::move(io));
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> result = FinishClone(copy);
  copy->Check(nullptr);
  return result;
}

std::string QlEHostOvList::GetRowDescription(unsigned int index) const {
  if (!_qlUi || index >= _qlUi->data.descriptions.size()) return std::string();
  return _qlUi->data.descriptions[index];
}

std::string QlEHostOvList::GetRowAddress(unsigned int index) const {
  if (!_qlIo || index >= _qlIo->rowAddresses.size()) return std::string();
  return _qlIo->rowAddresses[index];
}

}  // namespace NsOvrin::NsQlElemEditor
