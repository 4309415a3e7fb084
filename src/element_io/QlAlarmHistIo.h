#pragma once
// The binding of an alarm history: the visibility settings only.
#include <memory>
#include <string>

#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

class QlAlarmHistIo : public QlIo {
 public:
  bool Bind() override { return BindVisibility(); }
  bool Check(std::string* message) override { return CheckVisibility(message); }
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The visibility binding (with a counted read-task reference) and the
  // settings copied.
  std::shared_ptr<QlAlarmHistIo> Clone() const;

 private:
  BaseIoData baseIoData_;
};

}  // namespace NsOvrin::NsQlElemIo
