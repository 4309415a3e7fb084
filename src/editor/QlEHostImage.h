#pragma once
// Host of a picture (type 7). Its check also wants the picture file to be
// there; its revalidation looks at the binding only.
#include <memory>
#include <string>

#include "QlUiElem/QlUiImage.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlImageIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostImage : public QlEHostOf<NsQlUiElem::QlUiImage, NsQlElemIo::QlImageIo> {
 public:
  // A new picture 64 by 64 at the point without a file, so marked "图片无效".
  explicit QlEHostImage(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostImage(std::shared_ptr<NsQlUiElem::QlUiImage> ui,
               std::shared_ptr<NsQlElemIo::QlImageIo> io);

  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemPicture; }
  // Record, a file at the path as stored, binding, then the binding's own
  // check; the record's error mark follows the outcome.
  bool Check(std::string* message) override;
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
};

}  // namespace NsOvrin::NsQlElemEditor
