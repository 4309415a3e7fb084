#include "editor/QlEHostMultStateText.h"

#include <limits>

#include "editor/EditorGlobals.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlMultStateTextIo;
using NsQlUiElem::MultStateItem;
using NsQlUiElem::QlUiMultStateText;
using NsQlUiElem::ValueKind;

namespace {

bool IsKnownKind(ValueKind kind) {
  return kind >= NsQlUiElem::kValueInt16 && kind <= NsQlUiElem::kValueUInt32;
}

// Leading blanks, a sign, then digits up to the first other character; none
// give 0. Saturates long before 64 bits instead of wrapping.
int64_t ParseLeadingDecimal(const std::string& text) {
  constexpr int64_t kLimit = int64_t{1} << 40;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

// The value a state gets from the text, read as the binding reads it when
// it looks a state up, so that a stored value is found again by its text:
// the unsigned 32-bit kind takes its whole range, the others the signed
// 32-bit range; the 16-bit kinds then keep the low half.
uint32_t StateValueOfText(ValueKind kind, const std::string& text) {
  const int64_t parsed = ParseLeadingDecimal(text);
  const int64_t high = kind == NsQlUiElem::kValueUInt32 ? std::numeric_limits<uint32_t>::max()
                                                         : std::numeric_limits<int32_t>::max();
  const int64_t low = std::numeric_limits<int32_t>::min();
  const int64_t clamped = parsed < low ? low : parsed > high ? high : parsed;
  const uint32_t value = static_cast<uint32_t>(clamped);
  const bool is16 = kind == NsQlUiElem::kValueInt16 || kind == NsQlUiElem::kValueUInt16;
  return is16 ? (value & 0xFFFFu) : value;
}

}  // namespace

QlEHostMultStateText::QlEHostMultStateText(D2D_POINT_2F point)
    : QlEHostOf(std::make_shared<QlUiMultStateText>(), std::make_shared<QlMultStateTextIo>()) {
  _qlUi->rect = {point.x, point.y, point.x + 60.0f, point.y + 26.0f};
  _qlUi->currentState = 0;
  MultStateItem first = NsQlUiElem::DefaultMultStateItem();
  first.text = "文字1";
  _qlUi->states.push_back(first);
  _qlIo->stateValues.push_back(0);
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostMultStateText::QlEHostMultStateText(std::shared_ptr<QlUiMultStateText> ui,
                                           std::shared_ptr<QlMultStateTextIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostMultStateText::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->rect = rect;
}

bool QlEHostMultStateText::GetAddressLabel(std::string& text) const {
  text = _qlIo->readAddress;
  return true;
}

bool QlEHostMultStateText::Refresh() {
  if (!HostOnlineFlag || !_qlUi || !_qlIo) return false;
  uint32_t raw = 0;
  ValueKind kind = NsQlUiElem::kValueNone;
  int32_t index = -1;
  bool changed = false;
  if (!_qlIo->ReadState(raw, kind, index, changed) || !changed) return false;
  // No state of that value: -1 shows nothing.
  _qlUi->currentState = index;
  return true;
}

void QlEHostMultStateText::OnModeChanged() {
  if (HostOnlineFlag) {
    if (_qlIo) _qlIo->forceRefresh = true;
    return;
  }
  if (_qlUi && _qlIo) _qlUi->currentState = 0;
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostMultStateText::Clone() const {
  auto copy = std::make_shared<QlEHostMultStateText>(_qlUi ? _qlUi->Clone() : nullptr,
                                                     _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

std::string QlEHostMultStateText::GetStateValueText(int32_t index) const {
  if (!_qlIo || index < 0 || static_cast<std::size_t>(index) >= _qlIo->stateValues.size())
    return std::string();
  return NsQlUiElem::FormatValueOfKind(_qlIo->valueKind,
                                       _qlIo->stateValues[static_cast<std::size_t>(index)]);
}

std::string QlEHostMultStateText::GetStateText(int32_t index) const {
  if (!_qlUi || index < 0 || static_cast<std::size_t>(index) >= _qlUi->states.size())
    return std::string();
  return _qlUi->states[static_cast<std::size_t>(index)].text;
}

bool QlEHostMultStateText::AddState(const std::string& valueText, const MultStateItem& item) {
  if (!_qlIo || !_qlUi) return false;
  const ValueKind kind = _qlIo->valueKind;
  if (IsKnownKind(kind)) {
    if (_qlIo->FindStateByValueText(valueText)) return false;
    _qlIo->stateValues.push_back(StateValueOfText(kind, valueText));
  }
  _qlUi->states.push_back(item);
  return true;
}

bool QlEHostMultStateText::RemoveState(const std::string& valueText) {
  if (!_qlIo || !_qlUi || !IsKnownKind(_qlIo->valueKind)) return false;
  int32_t index = -1;
  if (!_qlIo->FindStateByValueText(valueText, &index) || index < 0) return false;
  const auto at = static_cast<std::size_t>(index);
  _qlIo->stateValues.erase(_qlIo->stateValues.begin() + index);
  // Lists out of step (a hand-edited file) must not erase past the end.
  if (at < _qlUi->states.size()) _qlUi->states.erase(_qlUi->states.begin() + index);
  return true;
}

}  // namespace NsOvrin::NsQlElemEditor
