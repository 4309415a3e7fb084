#pragma once
// The binding of a login element: the visibility settings only.
#include <memory>
#include <string>

#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

class QlBtnUserIo : public QlIo {
 public:
  bool Bind() override { return BindVisibility(); }
  bool Check(std::string* message) override { return CheckVisibility(message); }
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The visibility binding (with a counted read-task reference) and the
  // settings copied.
  std::shared_ptr<QlBtnUserIo> Clone() const;

 private:
  BaseIoData baseIoData_;
};

}  // namespace NsOvrin::NsQlElemIo
