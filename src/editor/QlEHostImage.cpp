#include "editor/QlEHostImage.h"

#include <filesystem>
#include <system_error>

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlImageIo;
using NsQlUiElem::QlUiImage;

namespace {

// Anything at the path counts, as the picture loader decides the rest.
bool PathExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error);
}

}  // namespace

QlEHostImage::QlEHostImage(D2D_POINT_2F point)
    : QlEHostOf(std::make_shared<QlUiImage>(), std::make_shared<QlImageIo>()) {
  _qlUi->rect = {point.x, point.y, point.x + 64.0f, point.y + 64.0f};
  Check(nullptr);
}

QlEHostImage::QlEHostImage(std::shared_ptr<QlUiImage> ui, std::shared_ptr<QlImageIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostImage::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->rect = rect;
}

bool QlEHostImage::Check(std::string* message) {
  std::string local;
  std::string& text = message != nullptr ? *message : local;
  if (!_qlUi) {
    text = "系统错误: qlUi == 0";
    return false;
  }
  bool ok = false;
  if (_qlUi->imagePath.empty() || !PathExists(_qlUi->imagePath)) {
    text = "图片无效";
  } else if (!_qlIo) {
    text = "系统错误: qlIo == 0";
  } else {
    ok = _qlIo->Check(&text);
  }
  if (ok) {
    _qlUi->inError = false;
  } else {
    _qlUi->inError = true;
    _qlUi->SetErrorText(text);
  }
  return ok;
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostImage::Clone() const {
  auto copy = std::make_shared<QlEHostImage>(_qlUi ? _qlUi->Clone() : nullptr,
                                             _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
