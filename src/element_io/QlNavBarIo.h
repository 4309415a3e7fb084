#pragma once
// The binding of a navigation bar: the page of each tab, by position.
#include <memory>
#include <string>
#include <vector>

#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

class QlNavBarIo : public QlIo {
 public:
  bool Bind() override { return BindVisibility(); }
  // Every target that is not empty must be exactly one of the project's
  // pages; then the visibility.
  bool Check(std::string* message) override;
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The settings and the visibility binding, with a counted read-task
  // reference of its own.
  std::shared_ptr<QlNavBarIo> Clone() const;

  // Page of tab i; an empty one leads nowhere.
  std::vector<std::string> targetPages;

 private:
  BaseIoData baseIoData_;
};

}  // namespace NsOvrin::NsQlElemIo
