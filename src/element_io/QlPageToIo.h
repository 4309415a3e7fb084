#pragma once
// The binding of a page-jump button: where the button leads. Only a named
// target is checked against the project's pages.
#include <cstdint>
#include <memory>
#include <string>

#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

using PageJumpType = int32_t;

// "上一页"
inline constexpr PageJumpType kPageJumpPrevious = 0;
// "首页"
inline constexpr PageJumpType kPageJumpHome = 1;
// The target page, shown by its name.
inline constexpr PageJumpType kPageJumpNamed = 2;

class QlPageToIo : public QlIo {
 public:
  // An empty target and the home page, as the factory and the page reader
  // make one.
  QlPageToIo() = default;

  bool Bind() override { return BindVisibility(); }
  // A named jump needs a target that is exactly one of the project's pages;
  // then the visibility.
  bool Check(std::string* message) override;
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The element's address label: "上一页", "首页", the target page, or empty
  // for another jump type.
  std::string GetTargetText() const;

  // The settings and the visibility binding, with a counted read-task
  // reference of its own.
  std::shared_ptr<QlPageToIo> Clone() const;

  std::string targetPage;
  PageJumpType jumpType = kPageJumpHome;

 private:
  BaseIoData baseIoData_;
};

}  // namespace NsOvrin::NsQlElemIo
