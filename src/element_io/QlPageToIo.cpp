#include "element_io/QlPageToIo.h"

#include <algorithm>
#include <vector>

#include "project_base/PageNameList.h"

namespace NsOvrin::NsQlElemIo {

bool QlPageToIo::Check(std::string* message) {
  // Other jump types never look at the target, whatever it holds.
  if (jumpType == kPageJumpNamed) {
    const char* failure = nullptr;
    const std::vector<std::string>& pages = GetPageNameList();
    if (targetPage.empty()) {
      failure = "跳转页面不能为空!";
    } else if (std::find(pages.begin(), pages.end(), targetPage) == pages.end()) {
      failure = "跳转页面文件不存在!";
    }
    if (failure != nullptr) {
      if (message != nullptr) *message = failure;
      return false;
    }
  }
  return CheckVisibility(message);
}

std::string QlPageToIo::GetTargetText() const {
  switch (jumpType) {
    case kPageJumpPrevious: return "上一页";
    case kPageJumpHome: return "首页";
    case kPageJumpNamed: return targetPage;
    default: return std::string();
  }
}

std::shared_ptr<QlPageToIo> QlPageToIo::Clone() const {
  auto copy = std::make_shared<QlPageToIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  copy->targetPage = targetPage;
  copy->jumpType = jumpType;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
