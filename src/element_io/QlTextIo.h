#pragma once
// The binding of a static text: the visibility settings only.
#include <memory>
#include <string>

#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

class QlTextIo : public QlIo {
 public:
  bool Bind() override { return BindVisibility(); }
  bool Check(std::string* message) override { return CheckVisibility(message); }
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The visibility binding (with a counted read-task reference) and the
  // settings copied.
  std::shared_ptr<QlTextIo> Clone() const;

 private:
  BaseIoData baseIoData_;
};

}  // namespace NsOvrin::NsQlElemIo
