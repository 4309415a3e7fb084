#include "editor/QlEHostButton.h"

#include "editor/EditorGlobals.h"
#include "platform/Format.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlButtonIo;
using NsQlUiElem::QlUiButton;

namespace {

constexpr float kCornerRadius = 4.0f;
constexpr const char* kNoAddress = "---";

const std::string& OrPlaceholder(const std::string& address) {
  static const std::string placeholder = kNoAddress;
  return address.empty() ? placeholder : address;
}

}  // namespace

std::shared_ptr<QlUiButton> MakeButtonRecordAt(D2D_POINT_2F point, const std::string& text) {
  auto button = std::make_shared<QlUiButton>();
  button->data.rect = {point.x, point.y, point.x + 95.0f, point.y + 36.0f};
  button->painter.rect = button->data.rect;
  button->painter.cornerRadius = kCornerRadius;
  button->painter.ReleaseGeometry();
  button->data.borderStyle = NsQlUiElem::kButtonRaised;
  button->painter.style = 1;
  button->painter.ReleaseGeometry();
  button->data.text = text;
  return button;
}

void SetButtonRect(QlUiButton& button, const D2D_RECT_F& rect) {
  button.data.rect = rect;
  button.painter.rect = rect;
  button.painter.cornerRadius = kCornerRadius;
  button.painter.ReleaseGeometry();
}

QlEHostButton::QlEHostButton(D2D_POINT_2F point)
    : QlEHostOf(MakeButtonRecordAt(point, "OFF"), std::make_shared<QlButtonIo>()) {
  _qlUi->data.text2 = "ON";
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostButton::QlEHostButton(std::shared_ptr<QlUiButton> ui, std::shared_ptr<QlButtonIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostButton::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) SetButtonRect(*_qlUi, rect);
}

bool QlEHostButton::GetAddressLabel(std::string& text) const {
  const QlButtonIo& io = *_qlIo;
  if (io.buttonType == NsQlElemIo::kButtonMomentary)
    text = OrPlaceholder(io.writeAddress);
  else if (io.buttonType == NsQlElemIo::kButtonDisplayOnly || io.sameAsRead)
    text = OrPlaceholder(io.readAddress);
  else
    text = NsPlatform::StrFormat("%s\n%s", OrPlaceholder(io.readAddress).c_str(),
                                 OrPlaceholder(io.writeAddress).c_str());
  return true;
}

bool QlEHostButton::Refresh() {
  if (!HostOnlineFlag || !_qlUi || !_qlIo) return false;
  const NsTermination::TermAddr& read = _qlIo->GetReadAddr();
  if (read.prefix.empty() || read.count == 0) return false;
  uint8_t bit = 0;
  bool changed = false;
  if (!_qlIo->ReadState(bit, changed, nullptr)) return false;
  changed = changed || forceRead_;
  forceRead_ = false;
  if (!changed) return false;
  _qlUi->SetState(bit != 0 ? 2 : 0);
  return true;
}

void QlEHostButton::OnModeChanged() {
  if (HostOnlineFlag) {
    if (_qlIo) forceRead_ = true;
    return;
  }
  // Display state 0 shows the shape of the button style itself.
  if (_qlUi && _qlIo) _qlUi->SetState(0);
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostButton::Clone() const {
  auto copy = std::make_shared<QlEHostButton>(_qlUi ? _qlUi->Clone() : nullptr,
                                              _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
