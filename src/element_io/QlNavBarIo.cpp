#include "element_io/QlNavBarIo.h"

#include <algorithm>
#include <vector>

#include "platform/Format.h"
#include "project_base/PageNameList.h"

namespace NsOvrin::NsQlElemIo {

bool QlNavBarIo::Check(std::string* message) {
  const std::vector<std::string>& pages = GetPageNameList();
  for (const std::string& target : targetPages) {
    if (target.empty()) continue;
    if (std::find(pages.begin(), pages.end(), target) != pages.end()) continue;
    if (message != nullptr) *message = NsPlatform::StrFormat("页面'%s'不存在.", target.c_str());
    return false;
  }
  return CheckVisibility(message);
}

std::shared_ptr<QlNavBarIo> QlNavBarIo::Clone() const {
  auto copy = std::make_shared<QlNavBarIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  copy->targetPages = targetPages;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
